#pragma once
// What the receiver list panel knows, without any widget: up to 20 items (one per receiver), the
// selected one, whether the demo note shows, and the panel's events. The panel widget derives from
// it and redraws an item when told that it changed.
#include <array>
#include <cstdint>
#include <string>

#include "core/TmyEvents.h"

struct SnxK740RXInfoListItem {
    int32_t index = -1;        // position in the list; -1 while the item is free
    int64_t frequency = 9000;  // Hz; 9000 until first set
    std::string label;         // the receiver's name given by the caller
    std::string text;          // what the item's button shows: the label, later with a frequency
    bool demo = false;
    int32_t value = 0;  // the caller's tag
    bool alarm = false;
    bool lamp = false;
};

class CnxReceiverListModel {
public:
    static constexpr int kMaxItems = 20;
    static constexpr const char* kDemoNote =
        "In demo mode, simulated\nsignals are shown on\nchannels 1, 50 and 80";

    // How an item's text is coloured: red on alarm, black when selected, grey otherwise.
    enum class TextTone { Alarm, Selected, Normal };

    CnxReceiverListModel() = default;
    virtual ~CnxReceiverListModel() = default;
    CnxReceiverListModel(const CnxReceiverListModel&) = delete;
    CnxReceiverListModel& operator=(const CnxReceiverListModel&) = delete;

    // Appends an item; a full list ignores the call. Returns the new item's index, or -1.
    int AddItem(const std::string& label, int32_t value, bool demo, bool select);
    void Select(int index);
    void SetItemFrequency(int index, int64_t frequency);
    int64_t GetItemFrequency(int index) const;
    void SetItemAlarm(int index, bool alarm);
    void SetItemLamp(int index, bool on);
    // A receiver that turned into a demo receiver (or back); the note follows when it is selected.
    void SetItemDemo(int index, bool demo);
    void SetItemValue(int index, int32_t value);
    int32_t GetItemValue(int index) const;

    const SnxK740RXInfoListItem* GetItem(int index) const;
    const SnxK740RXInfoListItem* GetSelectedItem() const { return GetItem(selected_); }
    int GetSelectedIndex() const { return selected_; }
    int GetCount() const { return count_; }
    int CountRealItems() const;
    bool IsDemoNoteShown() const { return demoNoteShown_; }
    TextTone GetItemTone(int index) const;

    // The further buttons' events; "Info" passes the selected index, the others 0.
    void FireHelp() { OnHelp.Raise(this, 0); }
    void FireAbout() { OnAbout.Raise(this, 0); }
    void FireInfo() { OnInfo.Raise(this, selected_); }
    void FireCal() { OnCal.Raise(this, 0); }

    TmyEventList<const SnxK740RXInfoListItem*> OnSelectionChanged;
    TmyEventList<int32_t> OnHelp;
    TmyEventList<int32_t> OnAbout;
    TmyEventList<int32_t> OnInfo;
    TmyEventList<int32_t> OnCal;

protected:
    // Hooks for the view: an item was appended, an item's look changed, the note came or went.
    virtual void ItemAdded(int /*index*/) {}
    virtual void ItemChanged(int /*index*/) {}
    virtual void DemoNoteChanged(bool /*shown*/) {}

private:
    bool IsValid(int index) const { return index >= 0 && index < count_; }
    void UpdateDemoNote();

    std::array<SnxK740RXInfoListItem, kMaxItems> items_{};
    int count_ = 0;
    int selected_ = -1;
    bool demoNoteShown_ = false;
};
