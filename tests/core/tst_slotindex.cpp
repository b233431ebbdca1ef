// SPDX-License-Identifier: MIT
#include "core/slotindex.h"

#include <QTest>

// Finding records by slot, whatever order and spread the slots come in.
class TestSlotIndex : public QObject
{
    Q_OBJECT
private slots:
    void findsEverySlot_data();
    void findsEverySlot();
};

void TestSlotIndex::findsEverySlot_data()
{
    QTest::addColumn<QList<quint32>>("given"); // the slots of indexes 0, 1, 2 ... in this order
    QTest::newRow("rising from 1") << QList<quint32>{1, 2, 3, 4, 5};
    QTest::newRow("rising with gaps, as after deletes") << QList<quint32>{7, 8, 10, 15};
    QTest::newRow("after an emptied table") << QList<quint32>{100001, 100002, 100003};
    QTest::newRow("one before the first") << QList<quint32>{5, 6, 4, 7};
    QTest::newRow("one far past the others") << QList<quint32>{1, 2, 3, 4000000000u, 4};
    QTest::newRow("the largest slot") << QList<quint32>{0xFFFFFFFEu, 0xFFFFFFFFu, 0};
}

void TestSlotIndex::findsEverySlot()
{
    QFETCH(QList<quint32>, given);
    SlotIndex index;
    for (int i = 0; i < given.size(); ++i)
        index.insert(given[i], i);
    for (int i = 0; i < given.size(); ++i)
        QCOMPARE(index.value(given[i]), i);
    // Slots no record has.
    for (quint32 absent : {quint32(3000000000u), quint32(9), quint32(99)})
        if (!given.contains(absent))
            QCOMPARE(index.value(absent), -1);
    index.clear();
    QCOMPARE(index.value(given.front()), -1);
    // Filled again after clearing, from another first slot.
    index.insert(50, 0);
    index.insert(51, 1);
    QCOMPARE(index.value(51), 1);
    QCOMPARE(index.value(given.front()), given.front() == 50 ? 0 : -1);
}

QTEST_GUILESS_MAIN(TestSlotIndex)
#include "tst_slotindex.moc"
