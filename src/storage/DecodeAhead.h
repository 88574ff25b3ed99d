#pragma once

// DecodeAhead decodes the blocks of a data file on two threads.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string_view>
#include <thread>

#include "storage/BlockReader.h"
#include "storage/RecordDecoder.h"

// Reads a file in blocks on the calling thread and decodes them there and on a
// helper thread, while the caller takes the decoded blocks strictly in file
// order: decoding is most of a read's work, taking the values in order is what
// must stay sequential. Without a helper decoder the caller decodes everything.
//
// Threads: Run is for one thread (the reader's worker). The helper only ever
// touches a block that Run handed it, and Run returns only when the helper
// holds no block of its file. The destructor stops and joins the helper.
class DecodeAhead {
public:
    enum class Result { kEnd, kEndedByCaller, kError, kStopped };
    // Takes the next block in file order (`bytes` are the lines the block's
    // offsets point into); false ends the file.
    using Consume = std::function<bool(const RecordDecoder::Block& block, std::string_view bytes)>;

    // `own` decodes on the calling thread, `helper` (may be null) on a thread
    // of its own; both decode values of lines at or after `valuesFrom` only.
    DecodeAhead(RecordDecoder& own, RecordDecoder* helper, std::time_t valuesFrom);
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // Reads `reader` to its end (kEnd), until `consume` returns false
    // (kEndedByCaller), a read fails (kError, after every whole line before
    // the failure was taken) or `stop` is requested (kStopped).
    Result Run(BlockReader& reader, const std::stop_token& stop, const Consume& consume);

private:
    enum class State { kFree, kRaw, kDecoding, kDecoded };
    struct Slot {
        BlockReader::Block raw;
        RecordDecoder::Block decoded;
        State state = State::kFree;
        std::uint64_t sequence = 0;
    };
    // Enough blocks that neither thread waits for the other while the caller
    // takes a block; the memory stays a few megabytes.
    static constexpr std::size_t kSlots = 4;

    void HelperLoop(const std::stop_token& stop);
    // Under the lock.
    Slot* OldestRaw();
    Slot* FindSequence(std::uint64_t sequence);
    Slot* FreeSlot();

    RecordDecoder& m_own;
    RecordDecoder* m_helperDecoder;
    const std::time_t m_valuesFrom;

    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::array<Slot, kSlots> m_slots;
    // Last member: joined before the slots it decodes into go away.
    std::jthread m_helper;
};
