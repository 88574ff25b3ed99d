#include "storage/DecodeAhead.h"

DecodeAhead::DecodeAhead(RecordDecoder& own, RecordDecoder* helper, std::time_t valuesFrom)
    : m_own(own), m_helperDecoder(helper), m_valuesFrom(valuesFrom) {
    if (m_helperDecoder)
        m_helper = std::jthread([this](std::stop_token stop) { HelperLoop(stop); });
}

DecodeAhead::~DecodeAhead() {
    if (m_helper.joinable()) {
        m_helper.request_stop();
        m_helper.join();
    }
}

DecodeAhead::Slot* DecodeAhead::OldestRaw() {
    Slot* oldest = nullptr;
    for (Slot& slot : m_slots) {
        if (slot.state == State::kRaw && (!oldest || slot.sequence < oldest->sequence))
            oldest = &slot;
    }
    return oldest;
}

DecodeAhead::Slot* DecodeAhead::FindSequence(std::uint64_t sequence) {
    for (Slot& slot : m_slots) {
        if (slot.state != State::kFree && slot.sequence == sequence) return &slot;
    }
    return nullptr;
}

DecodeAhead::Slot* DecodeAhead::FreeSlot() {
    for (Slot& slot : m_slots) {
        if (slot.state == State::kFree) return &slot;
    }
    return nullptr;
}

void DecodeAhead::HelperLoop(const std::stop_token& stop) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        Slot* slot = nullptr;
        if (!m_changed.wait(lock, stop, [&] { return (slot = OldestRaw()) != nullptr; })) return;
        slot->state = State::kDecoding;
        lock.unlock();
        m_helperDecoder->DecodeBlock(slot->raw.View(), m_valuesFrom, slot->decoded);
        lock.lock();
        slot->state = State::kDecoded;
        m_changed.notify_all();
    }
}

DecodeAhead::Result DecodeAhead::Run(BlockReader& reader, const std::stop_token& stop,
                                     const Consume& consume) {
    std::uint64_t nextRead = 0;
    std::uint64_t nextTake = 0;
    bool readerDone = false;
    Result atEnd = Result::kEnd;
    Result result = Result::kEnd;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (stop.stop_requested()) {
            result = Result::kStopped;
            break;
        }
        Slot* next = FindSequence(nextTake);
        if (next && next->state == State::kDecoded) {
            lock.unlock();
            const bool more = consume(next->decoded, next->raw.View());
            lock.lock();
            next->state = State::kFree;
            ++nextTake;
            if (!more) {
                result = Result::kEndedByCaller;
                break;
            }
            continue;
        }
        Slot* free = readerDone ? nullptr : FreeSlot();
        if (free) {
            // A free slot is the caller's alone: the helper takes raw ones only.
            lock.unlock();
            const BlockReader::Result read = reader.Next(free->raw, stop);
            lock.lock();
            if (read == BlockReader::Result::kBlock) {
                free->state = State::kRaw;
                free->sequence = nextRead++;
                m_changed.notify_all();
            } else {
                readerDone = true;
                atEnd = read == BlockReader::Result::kError     ? Result::kError
                        : read == BlockReader::Result::kStopped ? Result::kStopped
                                                                : Result::kEnd;
            }
            continue;
        }
        if (Slot* raw = OldestRaw()) {
            raw->state = State::kDecoding;
            lock.unlock();
            m_own.DecodeBlock(raw->raw.View(), m_valuesFrom, raw->decoded);
            lock.lock();
            raw->state = State::kDecoded;
            continue;
        }
        if (readerDone && nextTake == nextRead) {
            result = atEnd;
            break;
        }
        // The next block is with the helper.
        m_changed.wait(lock, stop, [&] {
            const Slot* slot = FindSequence(nextTake);
            return slot && slot->state == State::kDecoded;
        });
    }
    // The next file starts with every slot free; a block the helper is still
    // decoding is waited for, which takes a moment at most.
    m_changed.wait(lock, [&] {
        for (const Slot& slot : m_slots)
            if (slot.state == State::kDecoding) return false;
        return true;
    });
    for (Slot& slot : m_slots) slot.state = State::kFree;
    return result;
}
