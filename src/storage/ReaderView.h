#pragma once

// What a data-file reader (CEinlesen) tells the view it reads for. Every call
// comes on the user-interface thread, through the event queue, and only while
// the reader is alive and the read it belongs to has not been cancelled.
class ReaderView {
public:
    virtual ~ReaderView() = default;
    // One more interval of the period was read; `count` grows by one per interval.
    virtual void OnReadProgress(int count) = 0;
    // The read completed: the displayed points and statistics of every series
    // are up to date. `keep` is the flag the read was started with.
    virtual void OnReadFinished(bool keep) = 0;
    // The read produced nothing (no data in the period, or the user declined):
    // the view leaves its reading state.
    virtual void OnNothingRead() = 0;
};
