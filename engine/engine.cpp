#include "engine/engine.h"

#include <system_error>
#include <utility>
#include <vector>

#include "engine/measurement.h"
#include "engine/scan_thread.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace orv::engine {
namespace {

class ProgramChecks final : public CheckRunner {
  public:
    std::optional<CheckResult> File(int number, const ControlObject& object,
                                    const CheckContext& context) override {
        return CheckFile(number, object, context);
    }
    std::optional<CheckResult> Directory(int number, const ControlObject& object,
                                         const CheckContext& context) override {
        return CheckDirectory(number, object, context);
    }
    std::optional<CheckResult> Application(int number, const ControlObject& object,
                                           const CheckContext& context) override {
        return CheckApplication(number, object, context);
    }
};

bool ValidNumber(int number) {
    return number >= 1 && number <= kObjectCount;
}

}  // namespace

std::shared_ptr<CheckRunner> SystemChecks() {
    return std::make_shared<ProgramChecks>();
}

Engine::Engine(EngineServices services) : services_(std::move(services)) {
    if (!services_.checks) {
        services_.checks = SystemChecks();
    }
    if (!services_.texts) {
        services_.texts = [] { return lang::LanguageTable::For(lang::kEnglish); };
    }
    if (!services_.formats) {
        services_.formats = [] { return clock::SystemFormats(); };
    }
    if (!services_.names) {
        services_.names = [] { return clock::SystemNames(); };
    }
    if (!services_.now) {
        services_.now = [] { return clock::Now(); };
    }
    if (services_.logFolder.empty()) {
        services_.logFolder = paths::ExecutableFolder() + "Log" + fs::kSeparator;
    }
}

Engine::~Engine() {
    Shutdown();
    std::lock_guard<std::mutex> lock(lock_);
    for (const std::shared_ptr<MeasurementWorker>& worker : idleWorkers_) {
        worker->Quit();
    }
}

// --- The object table ---

std::optional<ControlObject> Engine::Object(int number) const {
    if (!ValidNumber(number)) {
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(lock_);
    return objects_[number - 1];
}

ObjectArray Engine::Objects() const {
    std::lock_guard<std::mutex> lock(lock_);
    return objects_;
}

void Engine::ClearPendingIfDisabledLocked(ControlObject& object) {
    if (!object.settings.Razr) {
        object.ActionPending = false;
    }
}

void Engine::ChangedLocked(ControlObject& object) {
    ++object.generation;
    ClearPendingIfDisabledLocked(object);
}

template <class Change>
bool Engine::ChangeSettings(int number, Change&& change) {
    if (!ValidNumber(number)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(lock_);
    ControlObject& object = objects_[number - 1];
    change(object.settings);
    ChangedLocked(object);
    return true;
}

bool Engine::SetRazr(int number, bool enabled) {
    return ChangeSettings(number, [enabled](ObjectSettings& settings) { settings.Razr = enabled; });
}

// --- The rules of an object's definition ---

bool Engine::StepType(int number, Step step) {
    return ChangeSettings(
        number, [step](ObjectSettings& settings) { settings.Type = engine::StepType(settings.Type, step); });
}

bool Engine::StepParam(int number, Step step) {
    return ChangeSettings(number, [step](ObjectSettings& settings) {
        settings.Param = engine::StepParam(FoldType(settings.Type), settings.Param, step);
    });
}

std::optional<Engine::Item> Engine::NormaliseType(int number) {
    if (!ValidNumber(number)) {
        return std::nullopt;
    }
    Item item;
    {
        std::lock_guard<std::mutex> lock(lock_);
        const ObjectSettings& settings = objects_[number - 1].settings;
        item.type = FoldType(settings.Type);
        item.path = KeptPath(settings, item.type);
    }
    item.present = ItemPresent(item.type, item.path);

    std::lock_guard<std::mutex> lock(lock_);
    ControlObject& object = objects_[number - 1];
    const bool forgetFile = !item.present && item.type == ObjectType::File && object.baseline.File_OK_Old;
    // Unchanged objects keep their generation: a check measuring them still commits.
    if (object.settings.Type != item.type || forgetFile) {
        object.settings.Type = item.type;
        if (forgetFile) {
            object.baseline.File_OK_Old = false;
        }
        ChangedLocked(object);
    }
    return item;
}

std::optional<Engine::Kind> Engine::NormaliseParam(int number) {
    if (!ValidNumber(number)) {
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(lock_);
    ControlObject& object = objects_[number - 1];
    Kind kind;
    kind.type = FoldType(object.settings.Type);
    kind.param = FoldParam(kind.type, object.settings.Param);
    if (kind.param != object.settings.Param) {
        object.settings.Param = kind.param;
        ChangedLocked(object);
    }
    return kind;
}

std::optional<Engine::Item> Engine::ChooseItem(int number, const BrowseChoice& choice) {
    if (!ValidNumber(number)) {
        return std::nullopt;
    }
    Item item;
    {
        std::lock_guard<std::mutex> lock(lock_);
        item.type = FoldType(objects_[number - 1].settings.Type);
    }
    item.path = choice.path;
    item.present = ItemPresent(item.type, item.path);

    std::lock_guard<std::mutex> lock(lock_);
    ControlObject& object = objects_[number - 1];
    ApplyBrowse(number, item.type, choice, item.present, object.settings, object.baseline);
    ChangedLocked(object);
    return item;
}

void Engine::ResetObjects() {
    std::lock_guard<std::mutex> lock(lock_);
    for (ControlObject& object : objects_) {
        object.settings = ObjectSettings{};
        object.baseline = Baseline{};
        ++object.generation;
    }
}

void Engine::LoadObjects(const ObjectArray& objects) {
    std::lock_guard<std::mutex> lock(lock_);
    for (int i = 0; i < kObjectCount; ++i) {
        ControlObject& object = objects_[i];
        object.settings = objects[i].settings;
        object.baseline = objects[i].baseline;
        ++object.generation;
        ClearPendingIfDisabledLocked(object);
    }
}

// --- Checks ---

void Engine::CheckObject(int number) {
    if (!ValidNumber(number)) {
        return;
    }
    std::lock_guard<std::mutex> check(checkMutexes_[number - 1]);
    CheckObjectHeld(number);
}

void Engine::CheckObjectHeld(int number) {
    const int index = number - 1;
    ControlObject measured;
    uint64_t serial = 0;
    bool held = false;
    {
        std::lock_guard<std::mutex> lock(lock_);
        objects_[index].ActionPending = false;
        measured = objects_[index];
        serial = checkSerials_[index];
        if (abandoned_[index] && abandoned_[index]->Finished()) {
            abandoned_[index].reset();
        }
        held = abandoned_[index] != nullptr;
    }
    if (FoldType(measured.settings.Type) != measured.settings.Type) {  // a type out of range checks nothing
        return;
    }

    // The texts are taken once, so a language switch during the check gives it one language throughout.
    const std::shared_ptr<const lang::LanguageTable> texts = services_.texts();
    if (!texts) {
        return;
    }
    const clock::Formats formats = services_.formats();
    const clock::Names names = services_.names();
    const clock::LocalTime checkTime = services_.now();

    std::optional<CheckResult> result;
    if (held) {
        // The system still holds the last measurement of this object: no second one joins it.
        result = UnreachableResult(number, measured, CheckContext{*texts, formats, names});
    } else {
        result = Measure(number, measured, texts, formats, names);
    }
    if (!result) {
        return;
    }

    std::lock_guard<std::mutex> lock(lock_);
    ControlObject& object = objects_[index];
    // An edit, reset or load while measuring, or another check committed meanwhile: this result was
    // computed from a state that is gone and would overwrite the newer one.
    if (object.generation != measured.generation || checkSerials_[index] != serial) {
        return;
    }
    if (result->measured) {
        object.baseline = std::move(result->baseline);
        object.eventContext = ContextOfCheck(measured.settings);
        object.eventContext.event = result->eventText;
        object.eventContext.outcome = std::move(result->outcome);
        object.eventContext.time = checkTime;
        object.EventText = std::move(result->eventText);
        object.ActionPending = result->fulfilled;
        if (result->lastStringCount) {
            object.LastStringCount = *result->lastStringCount;
        }
        ++checkSerials_[index];
    }
    PublishLocked(DisplayUpdate::Indicators(number, std::move(result->report)));
}

std::optional<CheckResult> Engine::Measure(int number, const ControlObject& measured,
                                           const std::shared_ptr<const lang::LanguageTable>& texts,
                                           const clock::Formats& formats, const clock::Names& names) {
    // The work owns copies of everything it reads: once abandoned it may outlive this call, and even
    // the engine.
    auto work = [checks = services_.checks, number, measured, texts, formats,
                 names]() -> std::optional<CheckResult> {
        const CheckContext context{*texts, formats, names};
        switch (measured.settings.Type) {
            case ObjectType::File:
                return checks->File(number, measured, context);
            case ObjectType::Directory:
                return checks->Directory(number, measured, context);
            default:
                return checks->Application(number, measured, context);
        }
    };
    auto measurement = std::make_shared<Measurement>(work);
    std::shared_ptr<MeasurementWorker> worker;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(lock_);
            if (idleWorkers_.empty()) {
                break;
            }
            worker = std::move(idleWorkers_.back());
            idleWorkers_.pop_back();
        }
        if (worker->Run(measurement)) {
            break;
        }
        worker.reset();  // it lingered out meanwhile
    }
    if (!worker) {
        worker = MeasurementWorker::Start(services_.threadLinger);
        if (worker && !worker->Run(measurement)) {
            worker.reset();
        }
    }
    if (!worker) {
        return work();  // no thread to be had: measure here, as the program always could
    }
    std::optional<std::optional<CheckResult>> outcome = measurement->Wait(services_.measureLimit);
    std::lock_guard<std::mutex> lock(lock_);
    if (outcome) {
        idleWorkers_.push_back(std::move(worker));
        return std::move(*outcome);
    }
    // The worker stays with its held measurement and ends after it.
    if (!measurement->Finished()) {
        abandoned_[number - 1] = measurement;
    }
    return UnreachableResult(number, measured, CheckContext{*texts, formats, names});
}

bool Engine::MeasurementHeld(int number) const {
    if (!ValidNumber(number)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(lock_);
    const std::shared_ptr<Measurement>& abandoned = abandoned_[number - 1];
    return abandoned && !abandoned->Finished();
}

bool Engine::SearchTextChanged(int number, const std::string& newText) {
    if (!ValidNumber(number)) {
        return false;
    }
    // A text thread that lingered out has left its loop and only returns: joined outside the lock.
    std::thread ended;
    {
        std::unique_lock<std::mutex> lock(lock_);
        if (!textsClosed_) {
            if (!textThreadActive_) {
                ended = std::move(textThread_);
                try {
                    textThread_ = std::thread(&Engine::TextLoop, this);
                    textThreadActive_ = true;
                } catch (const std::system_error&) {
                }
            }
            if (textThreadActive_) {
                textChanges_.push_back(TextChange{number, newText});
                lock.unlock();
                textWake_.notify_one();
                if (ended.joinable()) {
                    ended.join();
                }
                return true;
            }
        }
    }
    if (ended.joinable()) {
        ended.join();
    }
    // No text thread (none to be had, or the engine is shut down): the change is carried out here, as the
    // program always could.
    std::lock_guard<std::mutex> check(checkMutexes_[number - 1]);
    ChangeSearchText(number, newText, false);
    return true;
}

int Engine::PendingTextChanges() const {
    std::lock_guard<std::mutex> lock(lock_);
    return static_cast<int>(textChanges_.size()) + (textInFlight_ ? 1 : 0);
}

int Engine::WaitingThreads() const {
    std::lock_guard<std::mutex> lock(lock_);
    int count = textThreadActive_ ? 1 : 0;
    for (const std::shared_ptr<MeasurementWorker>& worker : idleWorkers_) {
        count += worker->Ended() ? 0 : 1;
    }
    return count;
}

void Engine::TextLoop() {
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
        const bool woken = textWake_.wait_for(lock, services_.threadLinger,
                                              [this] { return textsClosed_ || !textChanges_.empty(); });
        if (!woken || textsClosed_) {
            textThreadActive_ = false;  // the next change starts a new thread
            return;
        }
        textInFlight_ = std::move(textChanges_.front());
        textChanges_.pop_front();
        const TextChange change = *textInFlight_;
        lock.unlock();
        try {
            // The check mutex for the check and the new text together: a scan check of the object runs
            // before or after both, never between them.
            std::lock_guard<std::mutex> check(checkMutexes_[change.number - 1]);
            ChangeSearchText(change.number, change.text, true);
        } catch (...) {
        }
        lock.lock();
        textInFlight_.reset();
    }
}

void Engine::ChangeSearchText(int number, const std::string& newText, bool worker) {
    ObjectType type = ObjectType::File;
    {
        std::lock_guard<std::mutex> lock(lock_);
        type = objects_[number - 1].settings.Type;
    }
    const bool file = FoldType(type) == ObjectType::File;
    // A type still out of range checks nothing (CheckObject), yet its text is a file object's text.
    if (file) {
        CheckObjectHeld(number);
    }
    std::lock_guard<std::mutex> lock(lock_);
    if (worker && textsClosed_) {
        return;  // Shutdown has stored this text and any newer one
    }
    ControlObject& object = objects_[number - 1];
    if (!file) {
        if (object.settings.String != newText) {
            object.settings.String = newText;
            ChangedLocked(object);
        }
        return;
    }
    object.baseline.Povtor_File_Old = object.LastStringCount;
    object.settings.String = newText;
    ++object.generation;
}

// --- The scan cycle ---

int Engine::ScanStep() const {
    std::lock_guard<std::mutex> lock(lock_);
    return scanStep_;
}

void Engine::PublishLocked(DisplayUpdate update) {
    // Under the engine lock, so that the updates of the two threads reach the window in the order in
    // which they changed the state (a stop's idle step display is never followed by an older step).
    if (services_.display) {
        services_.display->Publish(std::move(update));
    }
}

void Engine::ShowScanStep() {
    std::lock_guard<std::mutex> lock(lock_);
    PublishLocked(DisplayUpdate::Step(scanStep_));
}

void Engine::RunPass() {
    RunPassUnless(nullptr);
}

namespace {

LogSnapshot SnapshotOf(const ObjectArray& objects) {
    LogSnapshot snapshot;
    for (int i = 0; i < kObjectCount; ++i) {
        snapshot[i].Razr = objects[i].settings.Razr;
        snapshot[i].ActionPending = objects[i].ActionPending;
        snapshot[i].EventText = objects[i].EventText;
    }
    return snapshot;
}

}  // namespace

void Engine::RunPassUnless(const std::atomic<bool>* stop) {
    // The guarded part: whatever goes wrong in it ends it, and the pass goes on with the log, action and
    // wrap tests.
    try {
        {
            std::lock_guard<std::mutex> lock(lock_);
            // A stop that came before the pass began (the button's stop may already have reset the step).
            if (stop != nullptr && stop->load()) {
                return;
            }
            ++scanStep_;
        }
        // A disabled object passes its step on to the next number within the same pass, so at most one
        // object is checked per pass.
        for (int number = 1; number <= kObjectCount; ++number) {
            bool check = false;
            {
                std::lock_guard<std::mutex> lock(lock_);
                if (scanStep_ != number) {
                    continue;
                }
                if (objects_[number - 1].settings.Razr) {
                    check = true;
                } else {
                    scanStep_ = number + 1;
                }
            }
            if (check) {
                CheckObject(number);
            }
        }
        ShowScanStep();
    } catch (...) {
    }

    try {
        std::optional<LogSnapshot> snapshot;
        {
            std::lock_guard<std::mutex> lock(lock_);
            if (scanStep_ == 9) {
                snapshot = SnapshotOf(objects_);
            }
        }
        if (snapshot) {
            LogStep(*snapshot);
        }
    } catch (...) {
    }

    try {
        bool actionStep = false;
        {
            std::lock_guard<std::mutex> lock(lock_);
            actionStep = scanStep_ == 10;
        }
        if (actionStep) {
            RunActions();
        }
    } catch (...) {
    }

    std::lock_guard<std::mutex> lock(lock_);
    if (scanStep_ == 12) {
        scanStep_ = 0;
    }
}

LogEnvironment Engine::MakeLogEnvironment() const {
    LogEnvironment environment;
    environment.folder = services_.logFolder;
    environment.formats = services_.formats();
    environment.names = services_.names();
    environment.now = services_.now;
    return environment;
}

void Engine::LogStep(const LogSnapshot& snapshot) {
    std::optional<std::string> written;
    try {
        const LogEnvironment environment = MakeLogEnvironment();
        written = WriteEventLogFile(snapshot, logOK_.load(), environment);
        if (written) {
            DeleteOldLogs(environment);
        }
    } catch (...) {
    }
    // The macros of this cycle are told which file it wrote, or that it wrote none.
    std::lock_guard<std::mutex> lock(lock_);
    cycleLogPath_ = written.value_or(std::string());
}

void Engine::DeleteOldLogs(const LogEnvironment& environment) {
    const int32_t days = logKeepDays_.load();
    std::lock_guard<std::mutex> lock(retentionLock_);
    if (retention_.Due(days, LogRetention::Steady::now())) {
        DeleteOldLogFiles(environment.folder, days, clock::FileTimeOf(std::chrono::system_clock::now()),
                          environment.formats.longTime, environment.names);
    }
}

void Engine::WriteEventLog() {
    LogSnapshot snapshot;
    {
        std::lock_guard<std::mutex> lock(lock_);
        snapshot = SnapshotOf(objects_);
    }
    LogStep(snapshot);
}

void Engine::RunActions() {
    struct Pending {
        int number;
        EventContext context;
    };
    std::vector<Pending> pending;
    std::string logPath;
    {
        std::lock_guard<std::mutex> lock(lock_);
        std::vector<std::string> events;
        for (int i = 0; i < kObjectCount; ++i) {
            if (objects_[i].ActionPending) {
                pending.push_back({i + 1, objects_[i].eventContext});
                events.push_back(objects_[i].EventText);
            }
        }
        logPath = cycleLogPath_;
        if (!events.empty()) {
            PublishLocked(DisplayUpdate::Events(std::move(events)));
        }
    }
    // Outside the lock: starting a program takes its time, and the macro table has its own guard.
    if (!services_.runMacro) {
        return;
    }
    for (const Pending& item : pending) {
        try {
            services_.runMacro(item.number, EventVariables(item.number, item.context, logPath));
        } catch (...) {
        }
    }
}

// --- Starting and stopping ---

void Engine::StartControl() {
    std::lock_guard<std::mutex> control(controlMutex_);
    StartControlLocked();
}

void Engine::StartControlLocked() {
    {
        // Under the engine lock, like a failing thread's ScanThreadFailed: either this start sees that
        // thread stopped (and replaces it), or the failure ends this start's control as well.
        std::lock_guard<std::mutex> lock(lock_);
        controlRunning_.store(true);
        if (thread_ && !thread_->StopRequested()) {
            return;  // already scanning
        }
        if (thread_ && thread_->Revive()) {
            return;  // a start still waiting for the thread before it: it stands
        }
    }
    // A previous thread still finishing its pass is handed to the new one, which begins when it has
    // ended: never two scan threads, and the caller (the window) does not wait for the pass.
    auto thread = std::make_unique<TMyThread>(*this, services_.pause, std::move(thread_));
    if (!thread->Start()) {
        thread_ = thread->TakePredecessor();
        controlRunning_.store(false);
        return;
    }
    thread_ = std::move(thread);
}

void Engine::StopControl() {
    std::lock_guard<std::mutex> control(controlMutex_);
    StopControlLocked();
}

void Engine::StopControlLocked() {
    controlRunning_.store(false);
    if (thread_) {
        thread_->RequestStop();
    }
}

void Engine::ScanThreadFailed(std::atomic<bool>& threadStop) noexcept {
    try {
        std::lock_guard<std::mutex> lock(lock_);
        if (threadStop.load()) {
            return;  // stopped already; a new start may own ControlRunning by now
        }
        threadStop.store(true);
        controlRunning_.store(false);
        scanStep_ = 0;
        PublishLocked(DisplayUpdate::Step(0));
        PublishLocked(DisplayUpdate::ControlStopped());
    } catch (...) {
    }
}

bool Engine::Sb_StartClick() {
    std::lock_guard<std::mutex> control(controlMutex_);
    if (!controlRunning_.load()) {
        StartControlLocked();
    } else {
        StopControlLocked();
        std::lock_guard<std::mutex> lock(lock_);
        scanStep_ = 0;
        PublishLocked(DisplayUpdate::Step(0));
    }
    return controlRunning_.load();
}

void Engine::Shutdown() {
    std::lock_guard<std::mutex> control(controlMutex_);
    controlRunning_.store(false);
    {
        // The texts typed but not carried out yet are stored as they are, in their order; their checks
        // would only delay the exit. A check still under way commits nothing over them.
        std::lock_guard<std::mutex> lock(lock_);
        if (!textsClosed_) {
            textsClosed_ = true;
            if (textInFlight_) {
                textChanges_.push_front(*textInFlight_);
            }
            for (const TextChange& change : textChanges_) {
                ControlObject& object = objects_[change.number - 1];
                object.settings.String = change.text;
                ++object.generation;
            }
            textChanges_.clear();
        }
    }
    textWake_.notify_all();
    if (thread_) {
        // A pass waiting for a measurement the system holds gives up on it within the measurement
        // limit, so the join never waits for a dead server.
        thread_->RequestStop();
        thread_->Join();
        thread_.reset();
    }
    if (textThread_.joinable()) {
        textThread_.join();
    }
}

}  // namespace orv::engine
