// A list of texts: the system's list box, owner-drawn in the program's font and colours, with its own
// colours for the selected entry.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "widgets/standard_control.h"

namespace orv::widgets {

// Draws one entry of an owner-drawn list box (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS). False when the
// message is not about a list box entry.
bool DrawListEntry(const DRAWITEMSTRUCT& draw, HFONT font, const TextColours& colours,
                   const TextColours& selectedColours);

struct ListBoxArgs {
    ControlPlace place;
    HFONT font = nullptr;
    int itemHeight = 16;
    bool tabStop = false;
    TextColours colours{};
    TextColours selectedColours{};
};

class ListBox : public StandardControl {
  public:
    // The user chose an entry (click or keys); a selection made by the program does not fire it.
    std::function<void()> onSelectionChanged;

    bool Create(const ListBoxArgs& args);

    // Replaces the entries when they differ from those shown.
    void SetItems(const std::vector<std::string>& items);
    int Count() const;
    std::string ItemText(int index) const;
    // The selected entry; -1 for none.
    int Selected() const;
    // Selects entry `index` (-1: none) when it is not selected yet.
    void Select(int index);

  protected:
    void OnCommand(int code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& draw) override;
    // A list named by its label; its items are the system's.
    bool Describe(AccessibleInfo& info) const override;

  private:
    HFONT font_ = nullptr;
    TextColours colours_{};
    TextColours selectedColours_{};
    std::vector<std::string> items_;
};

}  // namespace orv::widgets
