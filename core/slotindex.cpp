// SPDX-License-Identifier: MIT
#include "core/slotindex.h"

void SlotIndex::clear()
{
    m_first = 0;
    m_dense.clear();
    m_sparse.clear();
}

void SlotIndex::insert(quint32 slot, int index)
{
    if (m_dense.empty() && m_sparse.isEmpty())
        m_first = slot;
    const qint64 at = qint64(slot) - m_first;
    const qint64 room = qint64(m_dense.size()) * 2 + 4096;
    if (!m_sparse.isEmpty() || at < 0 || at >= room) {
        for (size_t i = 0; i < m_dense.size(); ++i)
            if (m_dense[i] >= 0)
                m_sparse.insert(m_first + quint32(i), m_dense[i]);
        m_dense.clear();
        m_sparse.insert(slot, index);
        return;
    }
    if (size_t(at) >= m_dense.size())
        m_dense.resize(size_t(at) + 1, -1);
    m_dense[size_t(at)] = index;
}

int SlotIndex::value(quint32 slot) const
{
    if (!m_sparse.isEmpty())
        return m_sparse.value(slot, -1);
    const qint64 at = qint64(slot) - m_first;
    return at >= 0 && at < qint64(m_dense.size()) ? m_dense[size_t(at)] : -1;
}
