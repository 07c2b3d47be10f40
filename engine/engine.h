// The watch engine: the table of eight control objects, the scan cycle that checks them one per pass,
// writes the event log and starts the macros, and starting and stopping control.
//
// Threads: the user-interface thread edits, resets, loads, starts and stops, and never measures; the scan
// thread (TMyThread) runs the cycle; the request thread carries out, in order, what the window asked for
// that needs a look at the file system (presence tests, search-text checks). Every measurement, whoever
// asks for it, runs on a measurement thread through MeasureItem and comes to one of three answers:
// known, unreachable or failed; only a known answer changes a baseline. One engine lock guards the
// object table and ScanStep; no measurement runs under it.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/checks.h"
#include "engine/display.h"
#include "engine/event_context.h"
#include "engine/event_log.h"
#include "engine/log_retention.h"
#include "engine/object_rules.h"
#include "engine/objects.h"
#include "engine/resume_watch.h"
#include "lang/language.h"
#include "platform/clock.h"

namespace orv::engine {

class Measurement;
struct MeasurementGate;
class MeasurementWorker;
class TMyThread;

// The three checks, as the engine calls them. The program uses SystemChecks(); tests use fakes.
// Called without the engine lock, on the scan thread or the user-interface thread.
class CheckRunner {
  public:
    virtual ~CheckRunner() = default;
    virtual std::optional<CheckResult> File(int number, const ControlObject& object,
                                            const CheckContext& context) = 0;
    virtual std::optional<CheckResult> Directory(int number, const ControlObject& object,
                                                 const CheckContext& context) = 0;
    virtual std::optional<CheckResult> Application(int number, const ControlObject& object,
                                                   const CheckContext& context) = 0;
};

// CheckFile, CheckDirectory and CheckApplication.
std::shared_ptr<CheckRunner> SystemChecks();

// Everything the engine uses from outside. Empty members take the program's own.
struct EngineServices {
    std::shared_ptr<CheckRunner> checks;  // SystemChecks()
    // The texts of the current language, taken once per check (English when empty).
    std::function<std::shared_ptr<const lang::LanguageTable>()> texts;
    std::function<clock::Formats()> formats;  // clock::SystemFormats
    std::function<clock::Names()> names;      // clock::SystemNames
    std::function<clock::LocalTime()> now;    // clock::Now (the log's and the checks' times)
    // The time since the system started, sleep included (clock::SinceStart): the engine's monotonic
    // clock, for the minute after a wake and for how long a change has been waiting to finish.
    std::function<std::chrono::milliseconds()> sinceStart;
    // Starts macro N with the variables of object N's event (the action step, on the scan thread).
    // Must not wait for the user-interface thread. Empty: nothing starts.
    std::function<void(int, const launch::Environment&)> runMacro;
    DisplaySink* display = nullptr;         // null: display updates are dropped
    std::string logFolder;                  // the executable's folder + "Log" + separator
    std::chrono::milliseconds pause{1000};  // between two passes
    // Runs on the scan thread after every pass, outside the pass's guards (tests use it to make a pass
    // fail the way nothing in the pass itself should).
    std::function<void()> afterPass;
    // How long a measurement may go without progress before the check gives up on it for this time
    // and reports the object unreachable: one server that does not answer must not hold the others.
    std::chrono::milliseconds measureLimit{2000};
    // How long requests still waiting at exit may take before they are dropped, within the second in
    // which the settings must be saved (a session's end may not wait longer).
    std::chrono::milliseconds exitGrace{500};
    // How long the measurement threads and the request thread wait for more work before they end: the
    // scan cycle's pause is shorter, so a running scan keeps its threads; a stopped program holds none.
    std::chrono::milliseconds threadLinger{10000};
};

class Engine {
  public:
    explicit Engine(EngineServices services = {});
    // Stops and joins a running scan thread (Shutdown).
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- The object table (numbers 1..8; other numbers fail and change nothing) ---

    std::optional<ControlObject> Object(int number) const;
    ObjectArray Objects() const;
    // The enable box. Disabling clears ActionPending, so the log and action steps stop acting on an
    // observation the object will not renew while it is disabled.
    bool SetRazr(int number, bool enabled);

    // --- The rules of an object's definition (object_rules.h) ---
    // Each changes the object under the engine lock, so that a check already measuring it does not
    // commit its result over the change. Whatever needs a look at the file system is handed to the
    // engine's request thread: the caller (the window) never waits for it, and the answer comes back to
    // the display as an ItemReport, after every update published before it.

    // The type or the parameter one step on, wrapping; the window normalises and shows it afterwards.
    bool StepType(int number, Step step);
    bool StepParam(int number, Step step);

    // The item of the object's type, as its panel shows it before its presence is known.
    struct Item {
        ObjectType type = ObjectType::File;  // folded
        std::string path;                    // the type's kept path
    };
    // The type folded into range and stored, and the item at the type's kept path looked for (for
    // `purpose`). When the system answers that a file object's file is not there, the object forgets it
    // was there (File_OK_Old := false); an item that cannot be reached keeps every baseline.
    std::optional<Item> NormaliseType(int number, ItemPurpose purpose = ItemPurpose::Type);
    // The parameter folded into the (folded) type's range and stored; the type is only folded.
    struct Kind {
        ObjectType type = ObjectType::File;
        ControlParam param = ControlParam::Availability;
    };
    std::optional<Kind> NormaliseParam(int number);
    // The item chosen in the browse dialog, to be accepted or refused by the object's type (ApplyBrowse)
    // once it has been looked for. An item that cannot be reached or examined is taken as chosen, its
    // object's baselines kept. False for an invalid number.
    bool ChooseItem(int number, const BrowseChoice& choice);
    // Every object's settings and baseline back to the first-run defaults; requests still waiting are
    // discarded, and the one under way changes nothing. Does not stop control.
    void ResetObjects();
    // Replaces every object's settings and baseline (loading at start); run-time fields stay.
    void LoadObjects(const ObjectArray& objects);

    bool LogOK() const { return logOK_.load(); }
    void SetLogOK(bool on) { logOK_.store(on); }
    // How many days log files are kept (0: forever). The scan thread deletes older ones after a log
    // write, at most once an hour.
    int32_t LogKeepDays() const { return logKeepDays_.load(); }
    void SetLogKeepDays(int32_t days) { logKeepDays_.store(ValidLogKeepDays(days)); }
    // Whether a fulfilled condition waits until its change has finished: the same value in two checks
    // of the object in a row and, for a file, no other program holding it open for writing; at the
    // latest kSettleLimit after the change was first seen. Until then nothing of it is committed.
    bool WaitFinished() const { return waitFinished_.load(); }
    void SetWaitFinished(bool on) { waitFinished_.store(on); }
    static constexpr std::chrono::seconds kSettleLimit{60};

    // --- Sleep and resume ---
    // For a minute after the machine wakes, a "not found" answer about an item on a network path, a
    // mapped network drive or a removable drive counts as "cannot be reached right now": such volumes
    // take that long to come back, and their items have not gone.

    // The window's report that the system resumed from sleep or hibernation.
    void SystemResumed();
    // The window's work timer ticked: a gap of more than two minutes since its last tick was a sleep,
    // for when the system's report does not come.
    void WorkTimerTick();
    // Whether the machine woke less than a minute ago.
    bool Resuming() const;

    // --- Checks ---

    // The check that the object's Type selects (nothing for another Type). ActionPending is cleared
    // first; the result is committed only when no edit, reset, load or other check of the object
    // happened while it measured; a failed measurement changes nothing more. A disabled object's check
    // never leaves an action pending. Any thread; checks of one object never run at the same time.
    // The measurement runs through MeasureItem.
    void CheckObject(int number);
    // The search-text editor's change of object N's text, handed over by the user-interface thread,
    // which does not wait for it. Carried out on the request thread, in order with the other requests.
    // A file object: the file check with the text held so far, then Povtor_File_Old := LastStringCount
    // (only when that check measured: a count it did not take is no baseline), then String := newText.
    // Any other object only keeps the text: a file check would report a file outcome on its item, and
    // its count baseline belongs to the file it watched before.
    bool SearchTextChanged(int number, const std::string& newText);
    // The search text the user typed last for object N: the newest change still waiting, or String.
    std::string SearchText(int number) const;
    // Requests handed over and not yet carried out (tests wait for none to be left).
    int PendingRequests() const;
    // Threads of this engine that wait for work: idle measurement threads and the request thread (tests
    // wait for none to be left once they have lingered out).
    int WaitingThreads() const;

    // --- The scan cycle ---

    bool ControlRunning() const { return controlRunning_.load(); }
    int ScanStep() const;

    // One pass of the scan thread's loop, without the pause. Tests drive the cycle with it.
    void RunPass();
    // The log step (step 9) and the action step (step 10) on their own. The action step hands the
    // fulfilled objects' event texts to the display and starts their macros with the variables of
    // their events, the log file of the log step included.
    void WriteEventLog();
    void RunActions();
    // Publishes the step display for the current ScanStep.
    void ShowScanStep();

    // Control on; starts a new scan thread (after the previous one, if still stopping, has ended).
    // When no thread can be created, control goes back to off.
    void StartControl();
    // Control off; the scan thread ends after its current pass (its pause is cut short). Keeps ScanStep.
    void StopControl();
    // The engine's half of the start/stop button: inverts control; when it is now off, ScanStep := 0 and
    // the step display shows all boxes idle. Returns whether control runs now.
    bool Sb_StartClick();
    // Stops and joins the scan thread and the request thread; nothing of the engine runs on another
    // thread afterwards. Requests still waiting get exitGrace to be carried out; then every measurement
    // still under way is abandoned, and a search text whose check did not finish is not stored, so that
    // the text and the count kept belong together (TextDropped says so).
    void Shutdown();
    // Whether Shutdown dropped a search-text change of object N.
    bool TextDropped(int number) const;

    // Scan threads alive right now (0 or 1; the tests check it never exceeds 1).
    int LiveScanThreads() const { return liveScanThreads_.load(); }
    // Whether an abandoned measurement of object N's item is still held by the system.
    bool MeasurementHeld(int number) const;

  private:
    friend class TMyThread;

    // A pass of the scan thread: when `stop` is set by the time the pass would start, it does nothing.
    void RunPassUnless(const std::atomic<bool>* stop);
    // The guarded part of a pass: the step advances, the object of the step is checked and the step
    // display follows. False when `stop` was set before it began.
    bool CheckStep(const std::atomic<bool>* stop);
    // The scan thread met a failure outside a pass's guards and is ending: control ends as the button's
    // stop ends it, so that the window shows it stopped and the next start creates a new thread. Does
    // nothing when a stop was already requested of that thread.
    void ScanThreadFailed(std::atomic<bool>& threadStop) noexcept;
    LogEnvironment MakeLogEnvironment() const;
    void PublishLocked(DisplayUpdate update);
    void StartControlLocked();
    void StopControlLocked();
    void ClearPendingIfDisabledLocked(ControlObject& object);
    void LogStep(const LogSnapshot& snapshot);
    void DeleteOldLogs(const LogEnvironment& environment);
    // Marks an object as changed from outside the checks; under the engine lock.
    void ChangedLocked(ControlObject& object);
    // Changes the settings of object `number` under the engine lock; false for an invalid number.
    template <class Change>
    bool ChangeSettings(int number, Change&& change);
    // A request of the window, carried out on the request thread in the order given.
    struct Request {
        enum class Kind { Text, Item, Browse };
        Kind kind = Kind::Text;
        int number = 0;
        std::string text{};                       // Kind::Text
        ItemPurpose purpose = ItemPurpose::Type;  // Kind::Item
        ObjectType type = ObjectType::File;       // Kind::Browse: the type the item was chosen for
        BrowseChoice choice{};                    // Kind::Browse
        uint64_t resets = 0;                      // resets_ when it was asked for
    };
    // The item a measurement looks at; the system's hold of an abandoned one belongs to it.
    struct ItemKey {
        ObjectType type = ObjectType::File;
        std::string path;
        friend bool operator==(const ItemKey&, const ItemKey&) = default;
    };
    struct Hold {
        std::shared_ptr<Measurement> measurement;
        ItemKey item;
    };

    // CheckObject with the object's check mutex already held; with `text`, that change is stored after
    // the check. True when the check measured and was committed.
    bool CheckObjectHeld(int number, const Request* text = nullptr);
    // The check's commit and the text change after it; under the engine lock.
    bool CommitCheckLocked(int number, const ControlObject& measured, uint64_t serial,
                           std::optional<CheckResult>& result, const clock::LocalTime& checkTime,
                           const lang::LanguageTable* texts, bool mayWait);
    // A change still under way, held back from the commit while the option asks for it.
    struct Settling {
        bool active = false;
        uint64_t generation = 0;  // the object's, when the change was first seen
        bool seenKnown = false;   // `seen` is the value of the check just before this one
        Baseline seen;
        std::chrono::milliseconds firstSeen{0};
    };
    // Whether a known result may be committed now; false holds it back as a change not yet finished.
    bool SettledLocked(int index, const CheckResult& result, bool writerOpen);
    void StoreTextLocked(const Request& change, bool counted);
    // Queues a request (or carries it out here when no request thread can be had).
    void Ask(Request request);
    void CarryOut(const Request& request);
    void ChangeSearchText(const Request& change);
    void LookForItem(const Request& request);
    // A browse's answer applied to the object: accepted or refused when the system answered.
    void ApplyChoiceLocked(const Request& request, ItemReport& report, ControlObject& object);
    void RequestLoop();
    // The one way the engine measures: `work` runs on a measurement thread and is waited for. False
    // when it did not finish: it went without progress for measureLimit (it is abandoned, and object
    // `number`'s item stays held until the system lets it return), the item is still held by such a
    // measurement, or the program is closing. What `work` writes may be read only after true.
    bool MeasureItem(int number, const ItemKey& item, std::function<void()> work);
    // Runs the check for `measured` through MeasureItem.
    std::optional<CheckResult> Measure(int number, const ControlObject& measured,
                                       const std::shared_ptr<const lang::LanguageTable>& texts,
                                       const clock::Formats& formats, const clock::Names& names,
                                       bool resuming);
    std::shared_ptr<MeasurementWorker> TakeWorker();

    EngineServices services_;

    // The engine lock: objects_, scanStep_, checkSerials_, holds_, idleWorkers_, the requests, waiting_.
    mutable std::mutex lock_;
    ObjectArray objects_;
    int scanStep_ = 0;
    std::string cycleLogPath_;  // the file the last log step wrote ("" when it wrote none)
    // Counts the committed checks of each object; a check commits only over the state it measured.
    std::array<uint64_t, kObjectCount> checkSerials_{};
    std::array<Settling, kObjectCount> settling_{};
    // The last abandoned measurement of each object, with its item, until it has returned.
    std::array<Hold, kObjectCount> holds_;
    // Measurements being waited for (Shutdown abandons them).
    std::vector<std::shared_ptr<Measurement>> waiting_;
    // Measurement threads waiting for work (at most one per thread that checks at the same time).
    std::vector<std::shared_ptr<MeasurementWorker>> idleWorkers_;
    // The one lock and wake-up of every measurement (set once, never changed).
    const std::shared_ptr<MeasurementGate> gate_;
    // Requests waiting for the request thread, and the one it carries out.
    std::deque<Request> requests_;
    std::optional<Request> inFlight_;
    uint64_t resets_ = 0;   // resets and loads so far: a request from before one is void
    bool closing_ = false;  // Shutdown has begun: no new request is queued
    bool closed_ = false;   // Shutdown's grace is over: nothing more is measured
    std::array<bool, kObjectCount> textDropped_{};
    std::condition_variable requestWake_;
    std::condition_variable requestsDone_;
    std::thread requestThread_;
    bool requestThreadActive_ = false;  // it waits for requests (false once it has lingered out)

    // Held for the whole of a check of the object (taken before the engine lock, never after it).
    std::array<std::mutex, kObjectCount> checkMutexes_;

    std::atomic<bool> controlRunning_{false};
    std::atomic<bool> logOK_{true};
    std::atomic<int32_t> logKeepDays_{0};
    std::atomic<bool> waitFinished_{false};
    std::mutex retentionLock_;  // the scan thread's, and a test's direct log step
    LogRetention retention_;

    mutable std::mutex resumeLock_;  // resume_: the window reports, the checks ask
    ResumeWatch resume_;

    std::mutex controlMutex_;  // start, stop and shutdown; never taken by the scan thread
    std::unique_ptr<TMyThread> thread_;
    std::atomic<int> liveScanThreads_{0};
};

}  // namespace orv::engine
