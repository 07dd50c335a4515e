// The private channel between the rig and its library host: a file both map, holding one
// message chunk at a time, handed back and forth by a turn counter. The side waiting for
// its turn spins briefly (most calls answer within microseconds) and then sleeps on a pipe,
// which the other side writes one byte to when it hands over the turn to a sleeper. The
// pipe also tells the rig when the host is gone. Messages larger than the mapping cross in
// chunks, each acknowledged.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qorhost {

using Clock = std::chrono::steady_clock;

enum class Wait { Ready, PeerGone, TimedOut };

// The blocking half: a byte from the other side, or its end.
class Signal {
  public:
    virtual ~Signal() = default;
    // Writes one byte to the other side (which may be gone: that is not an error here).
    virtual void notify() = 0;
    // Blocks until a byte arrives (and takes every byte there is), the other side closes its
    // end, or `deadline` passes.
    virtual Wait wait(Clock::time_point deadline) = 0;
};

// The layout of the shared file. Both ends are the same machine (x86-64 or the same
// architecture under Wine), so the atomics are shared as they are. The turn, the sizes and
// the first 52 bytes of the data share one cache line: a message that fits there moves one
// line to the other processor. (Measured: a call whose request and answer both fit takes
// about 0.55 us there, one that spills into further lines about 0.85 us.) The sleepers'
// flags, written rarely, have a line of their own.
// The mapping starts on a page, so the offsets are the lines.
struct Mailbox {
    static constexpr std::uint64_t MAGIC = 0x336b6f626c69616dull;  // "mailbok3"
    std::uint64_t magic;
    char line0[56];
    std::atomic<std::uint32_t> sleeping[2];
    std::atomic<std::int32_t> processor[2];  // where each side last waited, or -1
    char line1[48];
    std::atomic<std::uint32_t> turn;  // even: the rig's, odd: the host's
    std::uint32_t chunk;              // bytes of the message in the data
    std::uint32_t total;              // bytes of the whole message
    char data[52];                    // the data's start; it runs on past the struct
};
inline constexpr std::size_t MAILBOX_DATA = offsetof(Mailbox, data);
static_assert(offsetof(Mailbox, sleeping) == 64 && offsetof(Mailbox, turn) == 128);
static_assert(MAILBOX_DATA == 140 && sizeof(Mailbox) == 192);
static_assert(std::atomic<std::uint32_t>::is_always_lock_free);

// The largest message either side accepts: a text of the library's largest size and more.
inline constexpr std::uint32_t MAX_MESSAGE = std::uint32_t{1} << 31;

class Channel {
  public:
    enum Side { Rig = 0, Host = 1 };

    // `memory` is the mapped file of `size` bytes. The rig's side initialises it.
    Channel(void *memory, std::size_t size, Side side, Signal &signal);

    // Sends a message; the other side has the turn afterwards. Waits between chunks.
    Wait send(std::string_view message, Clock::time_point deadline = Clock::time_point::max());
    // Waits for a whole message; this side has the turn afterwards. Raises Malformed when
    // the other side breaks the layout.
    Wait receive(std::string &message, Clock::time_point deadline = Clock::time_point::max());

    // How long a side spins before it sleeps. It does not spin when the other side last
    // waited on the same processor: there the other side cannot run while this one spins.
    // (The system tends to wake a sleeper on the processor of the side that woke it; two
    // sides spinning in turn on one processor would each wait out the other's spin.)
    static constexpr std::chrono::microseconds SPIN{50};

  private:
    bool mine() const;
    Wait awaitTurn(Clock::time_point deadline);
    void pass();

    Mailbox *box_;
    char *data_;
    std::size_t capacity_;
    Side side_;
    Signal &signal_;
    bool wokeOther_ = false;
};

}  // namespace qorhost
