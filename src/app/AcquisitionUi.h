#pragma once

class CDataBase;
class CWetterDoc;
struct SerialLineSettings;

// The windows a connect needs: the initialisation window, the baud-rate
// search, and the end of a silent run. The program shows them, tests fake them.
class AcquisitionUi {
public:
    virtual ~AcquisitionUi() = default;
    // Runs the initialisation of `document` over the current transport until it ends.
    virtual void RunInitialisation(CWetterDoc& document) = 0;
    // Searches the rate the station answers at (stored in `line`); true when it answered.
    virtual bool SearchBaudRate(CDataBase& transport, SerialLineSettings& line) = 0;
    // "-SILENT": the run ends with `code` once the logger has been read.
    virtual void ExitProcess(int code) = 0;
    // First start without data: opens the storage options and then the
    // connection settings for a person to set the station up, and returns at
    // once. False when there is nobody to ask.
    virtual bool SetUpStation(CWetterDoc& document) {
        (void)document;
        return false;
    }
};
