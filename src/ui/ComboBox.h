// SPDX-License-Identifier: MIT
// A drop-down list that reports only what the user does:
//  - OnDropDown just before its list opens (the port list refreshes itself there);
//  - OnChange when the user picks an item (with the mouse in the open list, or with the
//    keyboard or the wheel on the closed one) or edits the text of an editable list; never
//    for changes made from code.
// Items are added, removed and selected from code without raising anything, and without
// selecting an item by themselves: a list starts and stays without a selection until an item
// is chosen. A sorted list keeps its items in character order of their text.
#pragma once

#include <QComboBox>

#include <functional>

class TComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TComboBox(bool editable, QWidget *parent = nullptr);

    std::function<void(TComboBox *Sender)> OnDropDown;
    std::function<void(TComboBox *Sender)> OnChange;

    bool Sorted() const { return fSorted; }
    // Sorting an unsorted list puts its items in order at once, keeping the selected one.
    void SetSorted(bool sorted);

    // Adds an item, at its sorted place when the list is sorted.
    void AddItem(const QString &text);
    // Removes the item at index; removing the selected item leaves no selection (the text of
    // an editable list stays). An index the list does not have changes nothing.
    void DeleteItem(int index);
    // The selected position, or -1 when no item is selected. In an editable list the text
    // decides: the position of the item whose text it is exactly, or -1 when typed text
    // matches no item.
    int ItemIndex() const;
    // Selects from code; -1 or a position the list does not have clears the selection (and
    // the text of an editable list).
    void SetItemIndex(int index);
    // Empties the list, its selection and its text.
    void ClearItems();
    // A flat list is drawn without a frame, and its text uses the frame's room.
    void SetFlat(bool flat);

    void showPopup() override;

private:
    // The position a sorted list gives text: after every item that sorts before or equal.
    int SortedPosition(const QString &text) const;
    // Runs change, then restores "no selection" and the edit text when change made Qt
    // select an item by itself (it does so when the first item enters an empty list).
    template <class Change> void KeepSelection(Change &&change);

    bool fSorted = false;
};
