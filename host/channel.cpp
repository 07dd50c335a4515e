#include "channel.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "wire.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sched.h>
#endif

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64)
#include <immintrin.h>
#define QORHOST_PAUSE() _mm_pause()
#else
#define QORHOST_PAUSE() std::atomic_signal_fence(std::memory_order_seq_cst)
#endif

namespace qorhost {

namespace {

std::int32_t currentProcessor() {
#if defined(_WIN32)
    return static_cast<std::int32_t>(GetCurrentProcessorNumber());
#else
    return sched_getcpu();
#endif
}

}  // namespace

Channel::Channel(void *memory, std::size_t size, Side side, Signal &signal)
    : box_(static_cast<Mailbox *>(memory)),
      data_(static_cast<char *>(memory) + MAILBOX_DATA),
      capacity_(std::min<std::size_t>(size - MAILBOX_DATA, MAX_MESSAGE)),
      side_(side),
      signal_(signal) {
    if (side == Rig) {
        std::memset(static_cast<void *>(box_), 0, sizeof(Mailbox));
        new (box_) Mailbox{};
        box_->magic = Mailbox::MAGIC;
        box_->processor[Rig].store(-1);
        box_->processor[Host].store(-1);
    } else if (size < sizeof(Mailbox) || box_->magic != Mailbox::MAGIC) {
        throw Malformed{"the channel's file is not a mailbox"};
    }
}

bool Channel::mine() const {
    return (box_->turn.load(std::memory_order_seq_cst) & 1u) == static_cast<unsigned>(side_);
}

Wait Channel::awaitTurn(Clock::time_point deadline) {
    // The spin catches the answers of short calls and the next call of a busy loop without
    // a system call on either side. It does not yield: on a busy machine a yield hands the
    // processor to whatever else runs for a whole time slice, where sleeping until the
    // other side writes its byte lets the scheduler wake this side promptly.
    const std::int32_t here = currentProcessor();
    // Written only when it changes: the other side reads this line on every turn it passes,
    // and a store each call would move the line between the processors twice more per call.
    if (box_->processor[side_].load(std::memory_order_relaxed) != here)
        box_->processor[side_].store(here, std::memory_order_relaxed);
    const bool shared = std::exchange(wokeOther_, false) && here >= 0 &&
                        box_->processor[1 - side_].load(std::memory_order_relaxed) == here;
    const Clock::time_point spinEnd = std::min(Clock::now() + SPIN, deadline);
    for (unsigned i = 1; !shared; ++i) {
        if (mine())
            return Wait::Ready;
        QORHOST_PAUSE();
        if (i % 16 == 0 && Clock::now() >= spinEnd)
            break;
    }
    std::atomic<std::uint32_t> &sleeping = box_->sleeping[side_];
    for (;;) {
        sleeping.store(1, std::memory_order_seq_cst);
        if (mine()) {
            sleeping.store(0, std::memory_order_seq_cst);
            return Wait::Ready;
        }
        const Wait woken = signal_.wait(deadline);
        sleeping.store(0, std::memory_order_seq_cst);
        if (mine())
            return Wait::Ready;
        if (woken != Wait::Ready)
            return woken;
    }
}

void Channel::pass() {
    box_->turn.fetch_add(1, std::memory_order_seq_cst);
    if (box_->sleeping[1 - side_].load(std::memory_order_seq_cst) != 0) {
        signal_.notify();
        wokeOther_ = true;
    }
}

Wait Channel::send(std::string_view message, Clock::time_point deadline) {
    if (message.empty() || message.size() > MAX_MESSAGE)
        throw Malformed{"a message of no size or past the largest"};
    std::size_t offset = 0;
    for (;;) {
        const std::size_t chunk = std::min(capacity_, message.size() - offset);
        std::memcpy(data_, message.data() + offset, chunk);
        box_->chunk = static_cast<std::uint32_t>(chunk);
        box_->total = static_cast<std::uint32_t>(message.size());
        offset += chunk;
        pass();
        if (offset == message.size())
            return Wait::Ready;
        if (const Wait acknowledged = awaitTurn(deadline); acknowledged != Wait::Ready)
            return acknowledged;
    }
}

Wait Channel::receive(std::string &message, Clock::time_point deadline) {
    message.clear();
    std::uint32_t total = 0;
    for (bool first = true;; first = false) {
        if (const Wait ready = awaitTurn(deadline); ready != Wait::Ready)
            return ready;
        // Read each field once: the other side is not trusted to leave them alone.
        const std::uint32_t chunk = box_->chunk;
        const std::uint32_t announced = box_->total;
        if (first)
            total = announced;
        if (announced != total || total == 0 || total > MAX_MESSAGE || chunk == 0 ||
            chunk > capacity_ || chunk > total - message.size())
            throw Malformed{"a chunk that does not fit its message"};
        message.append(data_, static_cast<std::size_t>(chunk));
        if (message.size() == total)
            return Wait::Ready;
        pass();  // the acknowledgement: the next chunk, please
    }
}

}  // namespace qorhost
