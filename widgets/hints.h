// Pop-up hints: one rectangular hint window with its own border and background colours, and the
// table of hint texts of every control of the program. Hints are switched on and off for all
// windows at once. The hint follows the cursor by polling, as the program's buttons do: the owner's
// work timer hands each tick's cursor to Poll, so the hints add no timer of their own.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "widgets/canvas.h"
#include "widgets/gdi.h"
#include "widgets/window.h"

namespace orv::widgets {

inline constexpr Colour kHintBorder = Rgb(16, 80, 141);
inline constexpr Colour kHintBackground = Rgb(255, 255, 202);
inline constexpr Colour kHintText = Rgb(16, 48, 96);
inline constexpr int kHintFontPixels = 12;

// The lines of a hint text; a line ends at "\r\n", "\n\r", "\n" or "\r".
std::vector<std::wstring> SplitHintLines(std::wstring_view text);

class HintWindow : public Window {
  public:
    bool Create();
    // Shows `text` with its top-left corner near `anchor` (screen), kept inside the monitor's work area.
    void ShowAt(std::string_view text, POINT anchor);
    void Hide();
    bool Showing() const { return IsVisible(); }
    const std::string& Text() const { return text_; }
    // Size of the window for `text`.
    SIZE Measure(std::string_view text) const;

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool DrawsItself() const override { return true; }
    void Draw(HDC dc, int width, int height) override;

    std::string text_;
    Font font_;
};

class Hints {
  public:
    using Clock = std::chrono::steady_clock;

    Hints() = default;
    ~Hints();
    Hints(const Hints&) = delete;
    Hints& operator=(const Hints&) = delete;

    bool Start();
    void Stop();

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    // The hint of `control`; an empty text removes it. A control without a hint shows the hint of
    // the nearest ancestor that has one.
    void Set(HWND control, std::string_view text);
    void Remove(HWND control);
    const std::string* Find(HWND control) const;
    // The hint of `control` in the program's running hints (the ones started last), for the names a
    // screen reader reads; null without one.
    static const std::string* TextOf(HWND control);

    // One tick of the owner's timer with the cursor at `cursor` (screen). A cursor that rests outside
    // every control with a hint costs nothing; one that rests over it asks the mouse buttons once.
    void Poll(POINT cursor);
    // A message the program's message loops take from the queue: a mouse press over one of the
    // program's windows (which a cursor at rest over a hint always is) reaches the running hints through
    // it, without asking the system at every tick.
    static void NoteMessage(const MSG& message);
    // Poll with the window under a cursor that moved, the state of the buttons and the clock given; the
    // clock is read only when the tick has something to do.
    void PollWith(POINT cursor, const std::function<HWND(POINT)>& windowAt,
                  const std::function<bool()>& buttonsHeld, const std::function<Clock::time_point()>& now);
    // One polling step: the cursor at `cursor` over `under`, with a mouse button held or not.
    void Update(POINT cursor, HWND under, bool buttonHeld, Clock::time_point now);

    HintWindow& Popup() { return window_; }

    static constexpr std::chrono::milliseconds kDelay{500};
    static constexpr std::chrono::milliseconds kShowFor{8000};

  private:
    HWND TargetOf(HWND under) const;
    // Update, with the buttons asked through `buttonHeld` only when their state can change anything.
    template <typename ButtonHeld>
    void Advance(POINT cursor, HWND under, const ButtonHeld& buttonHeld, Clock::time_point now);

    static inline Hints* running_ = nullptr;

    HintWindow window_;
    std::unordered_map<HWND, std::string> texts_;
    bool enabled_ = true;
    HWND target_ = nullptr;
    // The cursor of the last tick and the window under it: a still cursor over no hint costs nothing.
    std::optional<POINT> lastCursor_;
    HWND lastUnder_ = nullptr;
    bool pressSeen_ = false;     // a mouse press came since the last tick
    bool askButtons_ = true;     // the buttons have not been asked since the cursor last moved
    HWND suppressed_ = nullptr;  // no hint again until the cursor leaves this control
    Clock::time_point since_{};
    Clock::time_point shownAt_{};
};

}  // namespace orv::widgets
