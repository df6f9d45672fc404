#include "files/parallel_files.h"

#include <exception>
#include <memory>

#include "compress/codec_control.h"
#include "files/progress.h"
#include "platform/platform.h"

namespace zs::zemcmp {

JobCodec::JobCodec(RunProgress* progress, bool describesRun)
    : state_(codec::NewCodecState()), progress_(progress), describesRun_(describesRun) {}

JobCodec::~JobCodec() {
    codec::DeleteCodecState(state_);
}

void JobCodec::Begin() {
    bytesRead_ = 0;
    codec::ResetCodecState(*state_);
    codec::SetProgressHook(*state_, &JobCodec::OnBytesRead, this);
}

int JobCodec::Compress(int source, int destination, CMPHEADER* header) {
    if (state_ == nullptr) return CMP_STREAM_OPEN_FAILED;
    Begin();
    return codec::CompressFileWith(*state_, source, destination, header);
}

int JobCodec::Decompress(int source, int destination, CMPHEADER* header, int readHeader, Sha256* outputHash) {
    if (state_ == nullptr) return CMP_STREAM_OPEN_FAILED;
    Begin();
    if (outputHash != nullptr) codec::SetWriteObserver(*state_, &Sha256::UpdateOf, outputHash);
    const int result = codec::DecompressFileWith(*state_, source, destination, header, readHeader);
    codec::SetWriteObserver(*state_, nullptr, nullptr);
    return result;
}

void JobCodec::Describe(const std::string& name, uint64_t size) {
    if (describesRun_ && progress_ != nullptr) progress_->Describe(name, size);
}

void JobCodec::OnBytesRead(void* context, uint64_t bytesRead) {
    auto* self = static_cast<JobCodec*>(context);
    if (self->progress_ != nullptr && bytesRead > self->bytesRead_) {
        self->progress_->AddBytes(bytesRead - self->bytesRead_);
        // A run on the calling thread has nobody else to draw the line.
        if (self->describesRun_) self->progress_->Tick();
    }
    self->bytesRead_ = bytesRead;
}

int WorkerCount(size_t count, int requested) {
    size_t workers = requested > 0 ? static_cast<size_t>(requested) : static_cast<size_t>(ProcessorCount());
    if (workers > count) workers = count;
    return workers < 1 ? 1 : static_cast<int>(workers);
}

namespace {

// One job after another on the calling thread.
void RunInline(size_t count, RunProgress& progress, const FileJob& run, const FileDelivery& deliver) {
    JobCodec codec(&progress, true);
    for (size_t i = 0; i < count; ++i) {
        run(i, codec);
        progress.FileDone();
        progress.Clear();
        deliver(i);
    }
}

// The jobs on worker threads. The calling thread queues the jobs in order (a job whose prerequisites have
// not all finished holds back the ones after it), delivers the finished ones in order and draws the
// progress line; the workers take queued jobs as they become free.
class WorkerPool {
  public:
    WorkerPool(size_t count, const FileJobOptions& options, RunProgress& progress, const FileJob& run)
        : count_(count),
          options_(options),
          progress_(progress),
          run_(run),
          finished_(count, 0),
          errors_(count) {}

    ~WorkerPool() {
        {
            MutexLock guard(lock_);
            stopping_ = true;
        }
        for (size_t i = 0; i < threads_.size(); ++i) available_.Post();
        threads_.clear();  // joins
    }

    // Starts up to `workers` threads; the number that started.
    size_t Start(int workers) {
        for (int i = 0; i < workers; ++i) {
            auto thread = std::make_unique<Thread>();
            if (!thread->Start(&WorkerPool::Work, this)) break;
            threads_.push_back(std::move(thread));
        }
        return threads_.size();
    }

    void Run(const FileDelivery& deliver) {
        size_t queued = 0;
        size_t delivered = 0;
        while (delivered < count_) {
            {
                MutexLock guard(lock_);
                while (queued < count_ && PrerequisitesFinished(queued)) {
                    queue_.push_back(queued++);
                    available_.Post();
                }
            }
            while (delivered < count_ && Finished(delivered)) {
                progress_.Clear();
                if (errors_[delivered]) std::rethrow_exception(errors_[delivered]);
                deliver(delivered++);
            }
            if (delivered == count_) break;
            finishedOne_.Wait(200);
            progress_.Tick();
        }
    }

  private:
    static void Work(void* self) { static_cast<WorkerPool*>(self)->Work(); }

    void Work() {
        JobCodec codec(&progress_, false);
        for (;;) {
            available_.Wait();
            size_t job;
            {
                MutexLock guard(lock_);
                if (stopping_ || next_ == queue_.size()) return;
                job = queue_[next_++];
            }
            try {
                run_(job, codec);
            } catch (...) {
                errors_[job] = std::current_exception();
            }
            progress_.FileDone();
            {
                MutexLock guard(lock_);
                finished_[job] = 1;
            }
            finishedOne_.Post();
        }
    }

    // Called with the lock held.
    bool PrerequisitesFinished(size_t job) const {
        if (job >= options_.after.size()) return true;
        for (size_t before : options_.after[job]) {
            if (!finished_[before]) return false;
        }
        return true;
    }

    bool Finished(size_t job) {
        MutexLock guard(lock_);
        return finished_[job] != 0;
    }

    size_t count_;
    const FileJobOptions& options_;
    RunProgress& progress_;
    const FileJob& run_;

    Mutex lock_;
    std::vector<size_t> queue_;  // jobs in the order they may start
    size_t next_ = 0;            // the next queued job a worker takes
    std::vector<char> finished_;
    std::vector<std::exception_ptr> errors_;  // written by the job's worker before it counts as finished
    bool stopping_ = false;
    Semaphore available_;    // one for each queued job
    Semaphore finishedOne_;  // one for each finished job
    std::vector<std::unique_ptr<Thread>> threads_;
};

}  // namespace

void RunFileJobs(size_t count, const FileJobOptions& options, const FileJob& run,
                 const FileDelivery& deliver) {
    if (count == 0) return;
    RunProgress progress(options.showProgress, count);
    int workers = WorkerCount(count, options.workers);
    if (workers > 1) {
        WorkerPool pool(count, options, progress, run);
        if (pool.Start(workers) > 0) {
            pool.Run(deliver);
            return;
        }
    }
    RunInline(count, progress, run, deliver);
}

}  // namespace zs::zemcmp
