#include "engine/engine.h"

#include <system_error>
#include <utility>
#include <vector>

#include "engine/measurement.h"
#include "engine/scan_thread.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/write_probe.h"

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

// Set on a thread while it runs a pass of the scan cycle. The pass's updates (the check's indicators, the
// step display, the log step's events) are queued without waking the window: the window looks at the
// queue at every tick of its work timer, ten times a second, so the step display follows the pass within
// a tenth of a second and a pass costs the window no wake-up of its own.
thread_local bool inScanPass = false;

class ScanPass {
  public:
    ScanPass() { inScanPass = true; }
    ~ScanPass() { inScanPass = false; }
    ScanPass(const ScanPass&) = delete;
    ScanPass& operator=(const ScanPass&) = delete;
};

// Runs one piece of the engine's work whose failure must stay inside it: whatever it throws (an
// allocation that fails, a lock or a thread the system refuses, a failure of a service such as the
// macro launcher) ends that piece without a word, and the caller goes on. Each use says what is dropped
// and why; on the engine's own threads an exception that got out would end the program.
template <class Work>
void Guarded(Work&& work) noexcept {
    try {
        work();
    } catch (...) {
        // Dropped, for the reasons above: the thread goes on.
    }
}

}  // namespace

std::shared_ptr<CheckRunner> SystemChecks() {
    return std::make_shared<ProgramChecks>();
}

Engine::Engine(EngineServices services)
    : services_(std::move(services)), gate_(std::make_shared<MeasurementGate>()) {
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
    if (!services_.sinceStart) {
        services_.sinceStart = [] { return clock::SinceStart(); };
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

std::optional<Engine::Item> Engine::NormaliseType(int number, ItemPurpose purpose) {
    if (!ValidNumber(number)) {
        return std::nullopt;
    }
    Item item;
    {
        std::lock_guard<std::mutex> lock(lock_);
        ControlObject& object = objects_[number - 1];
        item.type = FoldType(object.settings.Type);
        item.path = KeptPath(object.settings, item.type);
        // Unchanged objects keep their generation: a check measuring them still commits.
        if (object.settings.Type != item.type) {
            object.settings.Type = item.type;
            ChangedLocked(object);
        }
    }
    Ask(Request{.kind = Request::Kind::Item, .number = number, .purpose = purpose});
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

bool Engine::ChooseItem(int number, const BrowseChoice& choice) {
    if (!ValidNumber(number)) {
        return false;
    }
    ObjectType type = ObjectType::File;
    {
        std::lock_guard<std::mutex> lock(lock_);
        type = FoldType(objects_[number - 1].settings.Type);
    }
    Ask(Request{.kind = Request::Kind::Browse, .number = number, .type = type, .choice = choice});
    return true;
}

void Engine::ResetObjects() {
    std::lock_guard<std::mutex> lock(lock_);
    for (ControlObject& object : objects_) {
        object.settings = ObjectSettings{};
        object.baseline = Baseline{};
        ++object.generation;
    }
    ++resets_;
    requests_.clear();
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

// --- Sleep and resume ---

void Engine::SystemResumed() {
    const ResumeWatch::Time now = services_.sinceStart();
    std::lock_guard<std::mutex> lock(resumeLock_);
    resume_.Resumed(now);
}

void Engine::WorkTimerTick() {
    const ResumeWatch::Time now = services_.sinceStart();
    std::lock_guard<std::mutex> lock(resumeLock_);
    resume_.Tick(now);
}

bool Engine::Resuming() const {
    const ResumeWatch::Time now = services_.sinceStart();
    std::lock_guard<std::mutex> lock(resumeLock_);
    return resume_.Settling(now);
}

// --- Checks ---

void Engine::CheckObject(int number) {
    if (!ValidNumber(number)) {
        return;
    }
    std::lock_guard<std::mutex> check(checkMutexes_[number - 1]);
    CheckObjectHeld(number);
}

bool Engine::CheckObjectHeld(int number, const Request* text) {
    const int index = number - 1;
    ControlObject measured;
    uint64_t serial = 0;
    {
        std::lock_guard<std::mutex> lock(lock_);
        objects_[index].ActionPending = false;
        measured = objects_[index];
        serial = checkSerials_[index];
    }
    std::optional<CheckResult> result;
    clock::LocalTime checkTime;
    // A type out of range checks nothing. The texts are taken once, so a language switch during the
    // check gives it one language throughout.
    const std::shared_ptr<const lang::LanguageTable> texts =
        FoldType(measured.settings.Type) == measured.settings.Type ? services_.texts() : nullptr;
    if (texts) {
        const clock::Formats formats = services_.formats();
        const clock::Names names = services_.names();
        checkTime = services_.now();
        result = Measure(number, measured, texts, formats, names, Resuming());
    }

    std::lock_guard<std::mutex> lock(lock_);
    const bool committed =
        CommitCheckLocked(number, measured, serial, result, checkTime, texts.get(), text == nullptr);
    if (text != nullptr) {
        StoreTextLocked(*text, committed);
    }
    return committed;
}

bool Engine::CommitCheckLocked(int number, const ControlObject& measured, uint64_t serial,
                               std::optional<CheckResult>& result, const clock::LocalTime& checkTime,
                               const lang::LanguageTable* texts, bool mayWait) {
    const int index = number - 1;
    ControlObject& object = objects_[index];
    // An edit, reset or load while measuring, or another check committed meanwhile: this result was
    // computed from a state that is gone and would overwrite the newer one.
    if (!result || object.generation != measured.generation || checkSerials_[index] != serial) {
        return false;
    }
    // The search text's own check (before a new text) is never held: its count is the new text's
    // baseline and belongs to the text it was taken for.
    if (mayWait && !SettledLocked(index, *result, result->writerOpen)) {
        // Nothing of the change yet: the lamp says why, and the next checks look again.
        if (texts != nullptr) {
            result->report.pathHint = texts->Text(lang::TextId::ChangeWaiting);
            if (result->report.stringHint) {
                result->report.stringHint = result->report.pathHint;
            }
        }
        PublishLocked(DisplayUpdate::Indicators(number, std::move(result->report)));
        return false;
    }
    const bool measuredNow = result->measured;
    if (measuredNow) {
        object.baseline = std::move(result->baseline);
        object.eventContext = ContextOfCheck(measured.settings);
        object.eventContext.event = result->eventText;
        object.eventContext.outcome = std::move(result->outcome);
        object.eventContext.time = checkTime;
        object.EventText = std::move(result->eventText);
        // A disabled object is checked only for its search text; the action step must not start its
        // macro, now or once it is enabled again.
        object.ActionPending = result->fulfilled && object.settings.Razr;
        if (result->lastStringCount) {
            object.LastStringCount = *result->lastStringCount;
        }
        ++checkSerials_[index];
    }
    PublishLocked(DisplayUpdate::Indicators(number, std::move(result->report)));
    return measuredNow;
}

bool Engine::SettledLocked(int index, const CheckResult& result, bool writerOpen) {
    Settling& settling = settling_[index];
    if (!result.measured) {
        // Nothing was seen this time: the next value has no check before it to agree with, while the
        // time the change has been under way keeps running.
        settling.seenKnown = false;
        return true;
    }
    if (!waitFinished_.load() || !result.fulfilled) {
        settling = Settling{};
        return true;
    }
    const std::chrono::milliseconds now = services_.sinceStart();
    const uint64_t generation = objects_[index].generation;
    if (!settling.active || settling.generation != generation) {
        settling = Settling{true, generation, true, result.baseline, now};
        return false;
    }
    const bool same = settling.seenKnown && settling.seen == result.baseline;
    // A value that never settles (a log written every second) still reports, once a minute.
    if ((same && !writerOpen) || now - settling.firstSeen >= kSettleLimit) {
        settling = Settling{};
        return true;
    }
    settling.seenKnown = true;
    settling.seen = result.baseline;
    return false;
}

std::optional<CheckResult> Engine::Measure(int number, const ControlObject& measured,
                                           const std::shared_ptr<const lang::LanguageTable>& texts,
                                           const clock::Formats& formats, const clock::Names& names,
                                           bool resuming) {
    // The work owns copies of everything it reads and writes: once abandoned it may outlive this call,
    // and even the engine.
    auto result = std::make_shared<std::optional<CheckResult>>();
    auto work = [checks = services_.checks, number, measured, texts, formats, names, resuming, result,
                 lookForWriter = waitFinished_.load()] {
        const CheckContext context{*texts, formats, names, resuming};
        switch (measured.settings.Type) {
            case ObjectType::File:
                *result = checks->File(number, measured, context);
                if (lookForWriter && *result && (*result)->measured && (*result)->fulfilled) {
                    (*result)->writerOpen = fs::HeldForWriting(measured.settings.Path_File);
                }
                break;
            case ObjectType::Directory:
                *result = checks->Directory(number, measured, context);
                break;
            default:
                *result = checks->Application(number, measured, context);
                break;
        }
    };
    const ObjectType type = FoldType(measured.settings.Type);
    if (!MeasureItem(number, ItemKey{type, KeptPath(measured.settings, type)}, std::move(work))) {
        return UnreachableResult(number, measured, CheckContext{*texts, formats, names});
    }
    return std::move(*result);
}

std::shared_ptr<MeasurementWorker> Engine::TakeWorker() {
    for (;;) {
        std::shared_ptr<MeasurementWorker> worker;
        {
            std::lock_guard<std::mutex> lock(lock_);
            if (idleWorkers_.empty()) {
                return MeasurementWorker::Start(services_.threadLinger);
            }
            worker = std::move(idleWorkers_.back());
            idleWorkers_.pop_back();
        }
        if (!worker->Ended()) {
            return worker;
        }
    }
}

bool Engine::MeasureItem(int number, const ItemKey& item, std::function<void()> work) {
    const int index = number - 1;
    auto measurement = std::make_shared<Measurement>(std::move(work), gate_);
    {
        std::lock_guard<std::mutex> lock(lock_);
        Hold& hold = holds_[index];
        if (hold.measurement && hold.measurement->Finished()) {
            hold = Hold{};
        }
        // The system still holds the last measurement of this item: no second one joins it. Another
        // item of the object is measured at once.
        if (closed_ || (hold.measurement && hold.item == item)) {
            return false;
        }
        waiting_.push_back(measurement);
    }
    std::shared_ptr<MeasurementWorker> worker = TakeWorker();
    if (worker && !worker->Run(measurement)) {
        worker = MeasurementWorker::Start(services_.threadLinger);  // it lingered out meanwhile
        if (worker && !worker->Run(measurement)) {
            worker.reset();
        }
    }
    bool finished = false;
    if (worker) {
        finished = measurement->Wait(services_.measureLimit);
    } else {
        // No thread to be had: measure here, as the program always could.
        measurement->RunHere();
        finished = true;
    }
    std::lock_guard<std::mutex> lock(lock_);
    std::erase(waiting_, measurement);
    if (finished) {
        if (worker) {
            idleWorkers_.push_back(std::move(worker));
        }
        return true;
    }
    // The worker stays with its held measurement and ends after it.
    if (!measurement->Finished()) {
        holds_[index] = Hold{measurement, item};
    }
    return false;
}

bool Engine::MeasurementHeld(int number) const {
    if (!ValidNumber(number)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(lock_);
    const std::shared_ptr<Measurement>& held = holds_[number - 1].measurement;
    return held && !held->Finished();
}

// --- The window's requests ---

bool Engine::SearchTextChanged(int number, const std::string& newText) {
    if (!ValidNumber(number)) {
        return false;
    }
    Ask(Request{.kind = Request::Kind::Text, .number = number, .text = newText});
    return true;
}

std::string Engine::SearchText(int number) const {
    if (!ValidNumber(number)) {
        return {};
    }
    std::lock_guard<std::mutex> lock(lock_);
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
        if (it->kind == Request::Kind::Text && it->number == number) {
            return it->text;
        }
    }
    if (inFlight_ && inFlight_->kind == Request::Kind::Text && inFlight_->number == number &&
        inFlight_->resets == resets_) {
        return inFlight_->text;
    }
    return objects_[number - 1].settings.String;
}

void Engine::Ask(Request request) {
    // A request thread that lingered out has left its loop and only returns: joined outside the lock.
    std::thread ended;
    {
        std::unique_lock<std::mutex> lock(lock_);
        request.resets = resets_;
        if (closing_) {
            return;  // the program is closing: nothing asked for now would be shown or saved
        }
        if (!requestThreadActive_) {
            ended = std::move(requestThread_);
            try {
                requestThread_ = std::thread(&Engine::RequestLoop, this);
                requestThreadActive_ = true;
            } catch (const std::system_error&) {
            }
        }
        if (requestThreadActive_) {
            requests_.push_back(std::move(request));
            lock.unlock();
            requestWake_.notify_one();
            if (ended.joinable()) {
                ended.join();
            }
            return;
        }
    }
    if (ended.joinable()) {
        ended.join();
    }
    // No request thread to be had: carried out here, as the program always could.
    CarryOut(request);
}

int Engine::PendingRequests() const {
    std::lock_guard<std::mutex> lock(lock_);
    return static_cast<int>(requests_.size()) + (inFlight_ ? 1 : 0);
}

int Engine::WaitingThreads() const {
    std::lock_guard<std::mutex> lock(lock_);
    int count = requestThreadActive_ ? 1 : 0;
    for (const std::shared_ptr<MeasurementWorker>& worker : idleWorkers_) {
        count += worker->Ended() ? 0 : 1;
    }
    return count;
}

void Engine::RequestLoop() {
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
        const bool woken = requestWake_.wait_for(lock, services_.threadLinger,
                                                 [this] { return closed_ || !requests_.empty(); });
        if (!woken || closed_) {
            requestThreadActive_ = false;  // the next request starts a new thread
            requestsDone_.notify_all();
            return;
        }
        inFlight_ = std::move(requests_.front());
        requests_.pop_front();
        const Request request = *inFlight_;
        lock.unlock();
        // A request that fails half-way is dropped: the thread lives on for the requests behind it.
        Guarded([&] { CarryOut(request); });
        lock.lock();
        inFlight_.reset();
        if (requests_.empty()) {
            requestsDone_.notify_all();
        }
    }
}

void Engine::CarryOut(const Request& request) {
    if (request.kind == Request::Kind::Text) {
        // The check mutex for the check and the new text together: a scan check of the object runs
        // before or after both, never between them.
        std::lock_guard<std::mutex> check(checkMutexes_[request.number - 1]);
        ChangeSearchText(request);
    } else {
        LookForItem(request);
    }
}

void Engine::ChangeSearchText(const Request& change) {
    ObjectType type = ObjectType::File;
    {
        std::lock_guard<std::mutex> lock(lock_);
        type = objects_[change.number - 1].settings.Type;
    }
    // A type still out of range checks nothing (CheckObject), yet its text is a file object's text.
    if (FoldType(type) == ObjectType::File) {
        CheckObjectHeld(change.number, &change);
        return;
    }
    std::lock_guard<std::mutex> lock(lock_);
    StoreTextLocked(change, false);
}

void Engine::StoreTextLocked(const Request& change, bool counted) {
    if (change.resets != resets_) {
        return;  // a reset or load came after it: it is void
    }
    ControlObject& object = objects_[change.number - 1];
    const bool file = FoldType(object.settings.Type) == ObjectType::File;
    if (!file) {
        if (object.settings.String != change.text) {
            object.settings.String = change.text;
            ChangedLocked(object);
        }
        return;
    }
    if (closed_ && !counted) {
        // The program is closing and this text's check did not finish: the text kept is the last one
        // whose check did, so that it and its count belong together.
        textDropped_[change.number - 1] = true;
        return;
    }
    if (counted) {
        object.baseline.Povtor_File_Old = object.LastStringCount;
    }
    object.settings.String = change.text;
    ++object.generation;
}

void Engine::LookForItem(const Request& request) {
    const int index = request.number - 1;
    ControlObject object;
    {
        std::lock_guard<std::mutex> lock(lock_);
        if (request.resets != resets_) {
            return;
        }
        object = objects_[index];
    }
    ItemReport report;
    report.purpose = request.kind == Request::Kind::Browse ? ItemPurpose::Browse : request.purpose;
    report.type = request.kind == Request::Kind::Browse ? request.type : FoldType(object.settings.Type);
    report.path =
        request.kind == Request::Kind::Browse ? request.choice.path : KeptPath(object.settings, report.type);
    auto presence = std::make_shared<Presence>(Presence::Failed);
    const bool finished =
        MeasureItem(request.number, ItemKey{report.type, report.path},
                    [presence, type = report.type, path = report.path, resuming = Resuming()] {
                        *presence = ItemPresence(type, path, resuming);
                    });
    report.presence = finished ? *presence : Presence::Unreachable;
    if (report.presence == Presence::Unreachable) {
        // The lamp says what the scan says of an item it cannot reach.
        object.settings.Type = report.type;
        object.settings.Param = FoldParam(report.type, object.settings.Param);
        const std::shared_ptr<const lang::LanguageTable> texts = services_.texts();
        const clock::Formats formats = services_.formats();
        const clock::Names names = services_.names();
        if (texts) {
            if (std::optional<CheckResult> unreachable =
                    UnreachableResult(request.number, object, CheckContext{*texts, formats, names})) {
                report.unreachable = std::move(unreachable->report);
            }
        }
    }

    std::lock_guard<std::mutex> lock(lock_);
    if (request.resets != resets_) {
        return;
    }
    ControlObject& current = objects_[index];
    if (request.kind == Request::Kind::Browse) {
        ApplyChoiceLocked(request, report, current);
    } else if (report.presence == Presence::Absent && report.type == ObjectType::File &&
               current.baseline.File_OK_Old && FoldType(current.settings.Type) == report.type &&
               KeptPath(current.settings, report.type) == report.path) {
        current.baseline.File_OK_Old = false;
        ChangedLocked(current);
    }
    PublishLocked(DisplayUpdate::ItemTested(request.number, std::move(report)));
}

void Engine::ApplyChoiceLocked(const Request& request, ItemReport& report, ControlObject& object) {
    if (Answered(report.presence)) {
        ApplyBrowse(request.number, request.type, request.choice, report.presence == Presence::Present,
                    object.settings, object.baseline);
    } else {
        // Nothing was learnt about the chosen item: it is taken as chosen, and every baseline stays.
        const Baseline kept = object.baseline;
        ApplyBrowse(request.number, request.type, request.choice, true, object.settings, object.baseline);
        object.baseline = kept;
    }
    report.path = KeptPath(object.settings, request.type);
    ChangedLocked(object);
}

// --- The scan cycle ---

int Engine::ScanStep() const {
    std::lock_guard<std::mutex> lock(lock_);
    return scanStep_;
}

void Engine::PublishLocked(DisplayUpdate update) {
    // Under the engine lock, so that the updates of the two threads reach the window in the order in
    // which they changed the state (a stop's idle step display is never followed by an older step).
    if (!services_.display) {
        return;
    }
    if (inScanPass) {
        services_.display->PublishUnannounced(std::move(update));
    } else {
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

bool Engine::CheckStep(const std::atomic<bool>* stop) {
    {
        std::lock_guard<std::mutex> lock(lock_);
        // A stop that came before the pass began (the button's stop may already have reset the step).
        if (stop != nullptr && stop->load()) {
            return false;
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
    return true;
}

void Engine::RunPassUnless(const std::atomic<bool>* stop) {
    const ScanPass pass;
    // Each step of the pass is guarded on its own: whatever goes wrong in one ends it, and the pass goes
    // on with the log, action and wrap tests.
    bool begun = true;
    Guarded([&] { begun = CheckStep(stop); });
    if (!begun) {
        return;
    }
    Guarded([&] {
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
    });
    Guarded([&] {
        bool actionStep = false;
        {
            std::lock_guard<std::mutex> lock(lock_);
            actionStep = scanStep_ == 10;
        }
        if (actionStep) {
            RunActions();
        }
    });
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
    // A log that fails half-way is no log of this cycle: the cycle goes on without it.
    Guarded([&] {
        const LogEnvironment environment = MakeLogEnvironment();
        written = WriteEventLogFile(snapshot, logOK_.load(), environment);
        if (written) {
            DeleteOldLogs(environment);
        }
    });
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
        // A macro that cannot be started keeps none of the others from starting.
        Guarded([&] { services_.runMacro(item.number, EventVariables(item.number, item.context, logPath)); });
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
    // The thread is ending already; when even this fails, it ends without telling the window.
    Guarded([&] {
        std::lock_guard<std::mutex> lock(lock_);
        if (threadStop.load()) {
            return;  // stopped already; a new start may own ControlRunning by now
        }
        threadStop.store(true);
        controlRunning_.store(false);
        scanStep_ = 0;
        PublishLocked(DisplayUpdate::Step(0));
        PublishLocked(DisplayUpdate::ControlStopped());
    });
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
    if (thread_) {
        thread_->RequestStop();
    }
    {
        std::unique_lock<std::mutex> lock(lock_);
        closing_ = true;
        // What the user asked for last (a typed text, a chosen item) gets a moment to be carried out;
        // a requests thread that has lingered out has nothing left to do.
        requestsDone_.wait_for(lock, services_.exitGrace,
                               [this] { return !requestThreadActive_ || (requests_.empty() && !inFlight_); });
        closed_ = true;
        // Nothing is waited for any more: a walk or a count that still makes progress is abandoned.
        for (const std::shared_ptr<Measurement>& measurement : waiting_) {
            measurement->Abandon();
        }
        for (const Request& request : requests_) {
            if (request.kind == Request::Kind::Text) {
                StoreTextLocked(request, false);
            }
        }
        requests_.clear();
    }
    requestWake_.notify_all();
    if (thread_) {
        thread_->Join();
        thread_.reset();
    }
    if (requestThread_.joinable()) {
        requestThread_.join();
    }
}

bool Engine::TextDropped(int number) const {
    if (!ValidNumber(number)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(lock_);
    return textDropped_[number - 1];
}

}  // namespace orv::engine
