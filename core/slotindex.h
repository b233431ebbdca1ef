// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QtGlobal>
#include <vector>

// Finds a record by the slot its file gave it: slot -> the record's index in the table's list.
// Files hand out slots in rising runs, so a vector from the first slot serves; slots that fall
// before it or far past it move everything to a hash.
class SlotIndex
{
public:
    void clear();
    void insert(quint32 slot, int index);
    int value(quint32 slot) const; // -1 when the slot is unknown

private:
    quint32 m_first = 0;
    std::vector<int> m_dense; // by slot - m_first; -1 where no record has the slot
    QHash<quint32, int> m_sparse;
};
