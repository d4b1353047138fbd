// SPDX-License-Identifier: MIT
// The drop-down list: which actions raise OnChange and OnDropDown, the selection it keeps
// while items come and go, and the order of a sorted list.
#include "ui/ComboBox.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

namespace {

class ComboBoxTest : public ::testing::Test
{
protected:
    TComboBox *Make(bool editable, const QStringList &items)
    {
        combo = new TComboBox(editable, &host);
        for (const QString &item : items)
            combo->AddItem(item);
        combo->setGeometry(10, 10, 200, 21);
        combo->OnChange = [this](TComboBox *sender) {
            EXPECT_EQ(sender, combo);
            changes << combo->ItemIndex();
        };
        combo->OnDropDown = [this](TComboBox *sender) {
            EXPECT_EQ(sender, combo);
            dropDowns << sender->view()->isVisible();
        };
        host.resize(300, 300);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
        combo->setFocus();
        return combo;
    }

    void Wheel(int angle)
    {
        const QPointF at(20, 10);
        QWheelEvent event(at, combo->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &event);
    }

    QStringList Items() const
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    QWidget host;
    TComboBox *combo = nullptr;
    QList<int> changes;    // ItemIndex() at each OnChange
    QList<bool> dropDowns; // whether the list was already open at each OnDropDown
};

const QStringList kBauds = {"4800", "9600", "19200", "38400", "57600", "115200", "Invalid"};

TEST_F(ComboBoxTest, SortedListKeepsCharacterOrderWhateverTheOrderOfAdding)
{
    const QStringList sorted = {"COM1  Communications Port", "COM10  USB Serial Port",
                                "COM2  Virtual serial port", "ttyS0  Virtual serial port",
                                "ttyUSB0  FT232R"};
    const QList<QStringList> orders = {
        sorted,
        {sorted[4], sorted[3], sorted[2], sorted[1], sorted[0]},
        {sorted[2], sorted[0], sorted[4], sorted[1], sorted[3]},
    };
    for (const QStringList &order : orders) {
        SCOPED_TRACE(order.join(QLatin1Char('|')).toStdString());
        delete combo;
        combo = new TComboBox(false, &host);
        combo->SetSorted(true);
        for (const QString &item : order)
            combo->AddItem(item);
        EXPECT_EQ(Items(), sorted);
        EXPECT_EQ(combo->ItemIndex(), -1);
    }
}

TEST_F(ComboBoxTest, SortingALaterListSortsWhatItHoldsAndKeepsTheSelection)
{
    Make(false, {"COM2", "COM10", "COM1"});
    combo->SetItemIndex(0);
    combo->SetSorted(true);
    EXPECT_EQ(Items(), (QStringList{"COM1", "COM10", "COM2"}));
    EXPECT_EQ(combo->currentText(), QStringLiteral("COM2"));
}

TEST_F(ComboBoxTest, ListStaysWithoutSelectionUntilOneIsMade)
{
    Make(false, {"a", "b"});
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->AddItem(QStringLiteral("c"));
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(1);
    combo->AddItem(QStringLiteral("d"));
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(ComboBoxTest, SelectingFromCodeRaisesNothing)
{
    Make(true, kBauds);
    for (int index : {3, 6, -1, 7, 0})
        combo->SetItemIndex(index);
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->SetItemIndex(99);
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->setEditText(QStringLiteral("Select Baudrate"));
    combo->setItemText(0, QStringLiteral("4800 "));
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(ComboBoxTest, KeyboardAndWheelOnTheClosedListRaiseChange)
{
    Make(false, {"TTL 3V", "RS232", "third"});
    combo->SetItemIndex(0);
    QTest::keyClick(combo, Qt::Key_Down);
    Wheel(-120);
    Wheel(120);
    EXPECT_EQ(changes, (QList<int>{1, 2, 1}));
}

TEST_F(ComboBoxTest, DropDownComesBeforeTheListOpensAndAPickRaisesChange)
{
    Make(false, {"one", "two", "three"});
    combo->showPopup();
    EXPECT_EQ(dropDowns, QList<bool>{false});
    QAbstractItemView *view = combo->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }));
    const QRect row = view->visualRect(view->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }));
    EXPECT_EQ(changes, QList<int>{2});
    EXPECT_EQ(combo->ItemIndex(), 2);
}

// What the text of an editable list says: the item it names exactly, or -1.
TEST_F(ComboBoxTest, TypedTextSelectsOnlyTheItemItNamesExactly)
{
    struct
    {
        const char *typed;
        int index;
    } const cases[] = {
        {"RS232", 1}, {"TTL 3V", 0}, {"rs232", -1}, {"RS23", -1}, {"RS2321", -1}, {"x", -1},
    };
    Make(true, {"TTL 3V", "RS232"});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        combo->SetItemIndex(0);
        combo->lineEdit()->selectAll();
        changes.clear();
        QTest::keyClicks(combo->lineEdit(), QString::fromLatin1(c.typed));
        // One change per key; the last one sees the whole text.
        EXPECT_EQ(changes.size(), static_cast<qsizetype>(qstrlen(c.typed)));
        ASSERT_FALSE(changes.isEmpty());
        EXPECT_EQ(changes.back(), c.index);
        EXPECT_EQ(combo->ItemIndex(), c.index);
        EXPECT_EQ(combo->currentText(), QString::fromLatin1(c.typed));
    }
}

TEST_F(ComboBoxTest, InitialTextOfAnEditableListIsNoSelection)
{
    Make(true, kBauds);
    combo->SetItemIndex(-1);
    combo->setEditText(QStringLiteral("Select Baudrate"));
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Select Baudrate"));
}

TEST_F(ComboBoxTest, RemovingTheSelectedItemLeavesNoSelection)
{
    Make(false, {"t0", "t1", "t2", "t3", "t4", "t5"});
    combo->SetItemIndex(5);
    combo->DeleteItem(5);
    EXPECT_EQ(combo->count(), 5);
    EXPECT_EQ(combo->ItemIndex(), -1);

    combo->SetItemIndex(3);
    combo->DeleteItem(1);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->currentText(), QStringLiteral("t3"));
    combo->DeleteItem(7); // no such item
    EXPECT_EQ(combo->count(), 4);

    combo->SetItemIndex(-1);
    combo->DeleteItem(0);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(ComboBoxTest, ClearingEmptiesItemsSelectionAndText)
{
    Make(true, kBauds);
    combo->SetItemIndex(2);
    combo->ClearItems();
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_TRUE(combo->currentText().isEmpty());
    combo->AddItem(QStringLiteral("4800"));
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_TRUE(changes.isEmpty());
}

} // namespace
