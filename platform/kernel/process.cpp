#include "process.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <thread>

#include "current.h"
#include "device_clock.h"
#include "handle_table.h"
#include "process_control.h"
#include "thread.h"

namespace platform::kernel {

namespace {

std::u16string fileNameOf(const std::u16string& path) {
    size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

ProcessInfo infoOf(const Process& process) {
    ProcessInfo info;
    info.id = process.id();
    info.name = process.name();
    info.imagePath = process.imagePath();
    info.commandLine = process.commandLine();
    info.running = !process.ended();
    info.exitCode = process.exitCode();
    info.threadCount = process.liveThreadCount();
    return info;
}

}  // namespace

// Every process, the reaper that finishes ended ones, and the idle watchers.
// All state is guarded by the kernel lock.
class ProcessTable {
public:
    ProcessTable() {
        host_ = std::make_shared<Process>(kHostProcessId, u"host", u"");
        deviceClock().setChangeListener([this] {
            KernelLock lock(kernelLock());
            wakeEveryThread();
        });
    }

    std::shared_ptr<Process> create(std::u16string imagePath, std::u16string commandLine) {
        KernelLock lock(kernelLock());
        auto process = std::make_shared<Process>(nextProcessId_++, std::move(imagePath),
                                                 std::move(commandLine));
        running_.push_back(process);
        return process;
    }

    // Adopting a host thread must not need the kernel lock: a host thread may
    // first meet the platform with the kernel lock already held.
    std::shared_ptr<Thread> createThread(const std::shared_ptr<Process>& process) {
        auto thread = std::make_shared<Thread>(nextThreadId_++, process);
        if (process.get() == host_.get()) {
            std::lock_guard lock(hostThreadsMutex_);
            std::erase_if(hostThreads_, [](const std::weak_ptr<Thread>& t) { return t.expired(); });
            hostThreads_.push_back(thread);
        } else {
            KernelLock lock(kernelLock());
            process->threads_.push_back(thread);
            ++process->liveThreads_;
        }
        return thread;
    }

    // A device thread left (kernel lock held).
    void threadLeft(Thread& thread) {
        Process& process = thread.process();
        if (&process == host_.get()) return;
        --process.liveThreads_;
        // The process ends when its main thread returns.
        if (!process.threads_.empty() && process.threads_.front().get() == &thread)
            process.beginExit(thread.exitCode());
        if (process.liveThreads_ == 0) {
            ++pendingReaps_;
            reapQueue_.push_back(findRunning(process.id()));
            startReaperLocked();
            reaperWake_.notify_one();
        }
    }

    Process& host() { return *host_; }
    std::shared_ptr<Process> hostPtr() { return host_; }

    std::shared_ptr<Process> findRunning(DWORD id) {
        for (auto& process : running_)
            if (process->id() == id) return process;
        return nullptr;
    }

    std::vector<ProcessInfo> list() {
        KernelLock lock(kernelLock());
        std::vector<ProcessInfo> result;
        for (auto& process : running_) result.push_back(infoOf(*process));
        result.insert(result.end(), endedInfo_.begin(), endedInfo_.end());
        return result;
    }

    std::optional<ProcessInfo> find(DWORD id) {
        KernelLock lock(kernelLock());
        if (auto process = findRunning(id)) return infoOf(*process);
        for (auto& info : endedInfo_)
            if (info.id == id) return info;
        return std::nullopt;
    }

    // Whether every device thread is idle. A thread that turns busy (a deadline
    // passed, an object was signalled) blocks again later and notifies.
    bool allIdleLocked() {
        if (pendingReaps_ > 0) return false;
        for (auto& process : running_)
            for (auto& thread : process->threads_)
                if (!thread->idle()) return false;
        return true;
    }

    bool waitUntilIdle(std::chrono::milliseconds hostTimeout) {
        const auto deadline = std::chrono::steady_clock::now() + hostTimeout;
        KernelLock lock(kernelLock());
        while (!allIdleLocked()) {
            if (idleChanged_.wait_until(lock, deadline) == std::cv_status::timeout)
                return allIdleLocked();
        }
        return true;
    }

    void notifyIdle() { idleChanged_.notify_all(); }

    void wakeEveryThread() {
        for (auto& process : running_)
            for (auto& thread : process->threads_) wakeThread(*thread);
        std::lock_guard hostLock(hostThreadsMutex_);
        for (auto& weak : hostThreads_)
            if (auto thread = weak.lock()) wakeThread(*thread);
        idleChanged_.notify_all();
    }

    std::vector<std::shared_ptr<Process>> runningProcesses() {
        KernelLock lock(kernelLock());
        return running_;
    }

    void reset() {
        KernelLock lock(kernelLock());
        endedInfo_.clear();
        if (running_.empty()) {
            nextProcessId_ = kFirstProcessId;
            nextThreadId_ = kFirstThreadId;
        }
    }

    void addExitHook(std::function<void(DWORD)> hook) {
        KernelLock lock(kernelLock());
        exitHooks_.push_back(std::move(hook));
    }

private:
    static constexpr DWORD kFirstProcessId = 0x100;
    static constexpr DWORD kFirstThreadId = 0x1000;

    void startReaperLocked() {
        if (reaperStarted_) return;
        reaperStarted_ = true;
        std::thread([this] { reaperLoop(); }).detach();
    }

    void reaperLoop() {
        KernelLock lock(kernelLock());
        for (;;) {
            reaperWake_.wait(lock, [this] { return !reapQueue_.empty(); });
            std::shared_ptr<Process> process = reapQueue_.front();
            reapQueue_.pop_front();
            lock.unlock();
            if (process) reap(*process);
            lock.lock();
            if (process) {
                process->ended_ = true;
                endedInfo_.push_back(infoOf(*process));
                std::erase(running_, process);
                process->grantWaiters();
            }
            --pendingReaps_;
            idleChanged_.notify_all();
        }
    }

    // Finishes an ended process (kernel lock not held).
    void reap(Process& process) {
        std::vector<std::shared_ptr<Thread>> threads;
        std::vector<std::function<void(DWORD)>> hooks;
        {
            KernelLock lock(kernelLock());
            threads = process.threads_;
            hooks = exitHooks_;
        }
        for (auto& thread : threads)
            if (thread->host.joinable() && thread->host.get_id() != std::this_thread::get_id())
                thread->host.join();
        for (auto& hook : hooks) hook(process.id());
        { auto closed = handleTable().removeAllOf(process.id()); }
        std::vector<std::shared_ptr<KernelObject>> modules;
        {
            KernelLock lock(kernelLock());
            modules.swap(process.modules_);
            process.threads_.clear();
        }
        while (!modules.empty()) modules.pop_back();  // reverse order of loading
    }

    std::shared_ptr<Process> host_;
    std::vector<std::shared_ptr<Process>> running_;
    std::vector<ProcessInfo> endedInfo_;
    std::mutex hostThreadsMutex_;  // after the kernel lock, when both are taken
    std::vector<std::weak_ptr<Thread>> hostThreads_;
    std::deque<std::shared_ptr<Process>> reapQueue_;
    std::vector<std::function<void(DWORD)>> exitHooks_;
    std::condition_variable reaperWake_;
    std::condition_variable idleChanged_;
    bool reaperStarted_ = false;
    int pendingReaps_ = 0;
    DWORD nextProcessId_ = kFirstProcessId;
    std::atomic<DWORD> nextThreadId_ = kFirstThreadId;
};

namespace {
ProcessTable& table() {
    static ProcessTable* processes = new ProcessTable;
    return *processes;
}
}  // namespace

Process::Process(DWORD id, std::u16string imagePath, std::u16string commandLine)
    : id_(id),
      imagePath_(std::move(imagePath)),
      name_(fileNameOf(imagePath_)),
      commandLine_(std::move(commandLine)) {}

void Process::beginExit(DWORD exitCode) {
    if (ending_ || ended_) return;
    ending_ = true;
    exitCode_ = exitCode;
    for (auto& thread : threads_) thread->requestExit(exitCode);
}

void Process::addModule(std::shared_ptr<KernelObject> module) { modules_.push_back(std::move(module)); }

void Process::removeModule(const KernelObject* module) {
    std::erase_if(modules_, [&](const auto& m) { return m.get() == module; });
}

std::vector<std::shared_ptr<KernelObject>> Process::modules() const { return modules_; }

std::shared_ptr<KernelObject> Process::mainModule() const {
    return modules_.empty() ? nullptr : modules_.front();
}

std::shared_ptr<Process> createProcessObject(std::u16string imagePath, std::u16string commandLine) {
    return table().create(std::move(imagePath), std::move(commandLine));
}

std::shared_ptr<Thread> createThreadObject(const std::shared_ptr<Process>& process) {
    return table().createThread(process);
}

void threadLeft(Thread& thread) { table().threadLeft(thread); }
void notifyIdleWatchers() { table().notifyIdle(); }

std::shared_ptr<Process> currentProcessPtr() { return currentThread().processPtr(); }
Process& hostProcess() { return table().host(); }
std::shared_ptr<Process> hostProcessPtr() { return table().hostPtr(); }

std::shared_ptr<Process> findProcessObject(DWORD id) {
    KernelLock lock(kernelLock());
    if (id == kHostProcessId) return table().hostPtr();
    return table().findRunning(id);
}

void addProcessExitHook(std::function<void(DWORD)> hook) { table().addExitHook(std::move(hook)); }

// ---- current.h ---------------------------------------------------------------
DWORD currentProcessId() { return currentThread().process().id(); }
DWORD currentThreadId() { return currentThread().id(); }
std::u16string currentProcessName() { return currentThread().process().name(); }

// ---- process_control.h -------------------------------------------------------
std::vector<ProcessInfo> processes() { return table().list(); }
std::optional<ProcessInfo> findProcess(DWORD id) { return table().find(id); }

bool terminateProcess(DWORD id, DWORD exitCode) {
    KernelLock lock(kernelLock());
    auto process = table().findRunning(id);
    if (!process || process->ending()) return process != nullptr;
    process->beginExit(exitCode);
    return true;
}

bool waitForProcessExit(DWORD id, uint64_t deviceTimeoutMs) {
    std::shared_ptr<Process> process;
    {
        KernelLock lock(kernelLock());
        process = table().findRunning(id);
    }
    if (!process) return true;
    Waitable* objects[] = {process.get()};
    DWORD timeout = deviceTimeoutMs >= INFINITE ? INFINITE : static_cast<DWORD>(deviceTimeoutMs);
    return waitForObjects(objects, timeout) == WAIT_OBJECT_0;
}

bool waitUntilIdle(std::chrono::milliseconds hostTimeout) { return table().waitUntilIdle(hostTimeout); }

void shutdownAllProcesses() {
    auto running = table().runningProcesses();
    {
        KernelLock lock(kernelLock());
        for (auto& process : running) process->beginExit(0);
    }
    for (auto& process : running) {
        Waitable* objects[] = {process.get()};
        // Real-time bound: a thread that never reaches a wait point cannot be ended.
        auto rate = deviceClock().rate();
        waitForObjects(objects, static_cast<DWORD>(10000 * rate));
    }
}

void resetProcessTable() { table().reset(); }

}  // namespace platform::kernel
