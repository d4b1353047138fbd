// SPDX-License-Identifier: MIT
#include "ui/ComboBox.h"

#include <QLineEdit>
#include <QProxyStyle>
#include <QStringList>
#include <QStyleOptionComboBox>

namespace {

// A list drawn without a frame (the flat prompt lists of the window) keeps no room for one:
// its text field starts at the control's edge instead of a frame's width inside it. The
// window's prompts were sized for that; with the style's 2-px inset "Select Com-type" would
// scroll its first letter out of sight.
class TFlatComboStyle : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option);
        if (control == CC_ComboBox && sub == SC_ComboBoxEditField && combo && !combo->frame) {
            if (option->direction == Qt::RightToLeft)
                rect.setRight(option->rect.right());
            else
                rect.setLeft(option->rect.left());
        }
        return rect;
    }
};

} // namespace

TComboBox::TComboBox(bool editable, QWidget *parent) : QComboBox(parent)
{
    auto *style = new TFlatComboStyle;
    style->setParent(this);
    setStyle(style);
    setEditable(editable);
    setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        // Typed text is taken as typed: no completion that would put an item's text in its
        // place, so text that matches no item stays text that matches no item.
        setCompleter(nullptr);
    }
    // activated is Qt's user-only signal: a pick in the open list, and the keyboard and the
    // wheel on the closed list. Selecting from code never raises it.
    connect(this, &QComboBox::activated, this, [this](int) {
        if (OnChange)
            OnChange(this);
    });
    if (editable) {
        connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &) {
            if (OnChange)
                OnChange(this);
        });
    }
}

template <class Change> void TComboBox::KeepSelection(Change &&change)
{
    const bool hadSelection = currentIndex() >= 0;
    const QString text = currentText();
    change();
    if (!hadSelection && currentIndex() >= 0) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(text);
    }
}

void TComboBox::SetSorted(bool sorted)
{
    if (sorted == fSorted)
        return;
    fSorted = sorted;
    if (!sorted || count() < 2)
        return;
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    const int selected = currentIndex();
    const QString selectedText = selected >= 0 ? itemText(selected) : QString();
    const QString text = currentText();
    std::stable_sort(items.begin(), items.end(),
                     [](const QString &a, const QString &b) { return a < b; });
    clear();
    addItems(items);
    if (selected >= 0) {
        setCurrentIndex(static_cast<int>(items.indexOf(selectedText)));
    } else {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(text);
    }
}

int TComboBox::SortedPosition(const QString &text) const
{
    // QString's operator< compares UTF-16 code units: character order, case-sensitive, as
    // in "COM1  x" < "COM10  x" < "COM2  x".
    int at = 0;
    while (at < count() && !(text < itemText(at)))
        ++at;
    return at;
}

void TComboBox::AddItem(const QString &text)
{
    KeepSelection([&] { insertItem(fSorted ? SortedPosition(text) : count(), text); });
}

void TComboBox::DeleteItem(int index)
{
    if (index < 0 || index >= count())
        return;
    if (index != currentIndex()) {
        KeepSelection([&] { removeItem(index); });
        return;
    }
    // Qt would move the selection to a neighbour; a removed choice is no choice at all.
    const QString text = currentText();
    removeItem(index);
    setCurrentIndex(-1);
    if (isEditable())
        setEditText(text);
}

int TComboBox::ItemIndex() const
{
    const int current = currentIndex();
    if (!isEditable())
        return current;
    const QString text = currentText();
    if (current >= 0 && itemText(current) == text)
        return current;
    return findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TComboBox::SetItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TComboBox::ClearItems()
{
    clear();
    if (isEditable())
        clearEditText();
}

void TComboBox::showPopup()
{
    if (OnDropDown)
        OnDropDown(this);
    QComboBox::showPopup();
}
