#include "receiver/CnxReceiverListModel.h"

#include <algorithm>
#include <cstdio>

int CnxReceiverListModel::AddItem(const std::string& label, int32_t value, bool demo, bool select) {
    if (count_ >= kMaxItems) {
        return -1;
    }
    const int index = count_;
    SnxK740RXInfoListItem& item = items_[index];
    item.index = index;
    item.label = label;
    item.text = label;
    item.value = value;
    item.demo = demo;
    ++count_;
    ItemAdded(index);
    if (select) {
        Select(index);
    }
    return index;
}

void CnxReceiverListModel::Select(int index) {
    if (index == selected_ || !IsValid(index)) {
        return;
    }
    const int previous = selected_;
    selected_ = index;
    if (IsValid(previous)) {
        ItemChanged(previous);
    }
    ItemChanged(index);
    UpdateDemoNote();
    OnSelectionChanged.Raise(this, &items_[index]);
}

// The note shows exactly while the selected item is a demo receiver.
void CnxReceiverListModel::UpdateDemoNote() {
    const SnxK740RXInfoListItem* selected = GetSelectedItem();
    const bool show = selected != nullptr && selected->demo;
    if (show != demoNoteShown_) {
        demoNoteShown_ = show;
        DemoNoteChanged(show);
    }
}

void CnxReceiverListModel::SetItemFrequency(int index, int64_t frequency) {
    if (!IsValid(index) || items_[index].frequency == frequency) {
        return;
    }
    SnxK740RXInfoListItem& item = items_[index];
    item.frequency = frequency;
    // Megahertz with three decimals, rounded half up at the third.
    char line[64];
    std::snprintf(line, sizeof line, "\n%.03f",
                  static_cast<double>(frequency) / 1000000.0 + 0.000005);
    item.text = item.label + line;
    ItemChanged(index);
}

int64_t CnxReceiverListModel::GetItemFrequency(int index) const {
    return IsValid(index) ? items_[index].frequency : 0;
}

void CnxReceiverListModel::SetItemAlarm(int index, bool alarm) {
    if (IsValid(index)) {
        items_[index].alarm = alarm;
        ItemChanged(index);
    }
}

void CnxReceiverListModel::SetItemLamp(int index, bool on) {
    if (IsValid(index)) {
        items_[index].lamp = on;
        ItemChanged(index);
    }
}

void CnxReceiverListModel::SetItemDemo(int index, bool demo) {
    if (IsValid(index)) {
        items_[index].demo = demo;
        ItemChanged(index);
        UpdateDemoNote();
    }
}

void CnxReceiverListModel::SetItemValue(int index, int32_t value) {
    if (IsValid(index)) {
        items_[index].value = value;
    }
}

int32_t CnxReceiverListModel::GetItemValue(int index) const {
    return IsValid(index) ? items_[index].value : 0;
}

const SnxK740RXInfoListItem* CnxReceiverListModel::GetItem(int index) const {
    return IsValid(index) ? &items_[index] : nullptr;
}

int CnxReceiverListModel::CountRealItems() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.begin() + count_,
                                          [](const auto& item) { return !item.demo; }));
}

CnxReceiverListModel::TextTone CnxReceiverListModel::GetItemTone(int index) const {
    if (IsValid(index) && items_[index].alarm) {
        return TextTone::Alarm;
    }
    return index == selected_ ? TextTone::Selected : TextTone::Normal;
}
