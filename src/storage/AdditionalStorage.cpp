#include "storage/AdditionalStorage.h"

#include <algorithm>
#include <cerrno>

#include "model/CSensoren.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "platform/FileStore.h"
#include "storage/CAktuell.h"
#include "storage/DataFiles.h"

namespace {

// Windows-1252: "ü" is 0xFC, "ö" is 0xF6 (split off so that "ff" is no part of the escape).
constexpr const char* kOpenFailed =
    "Datei f\xFCr Zusatzverzeichnis konnte nicht ge\xF6"
    "ffnet werden";
constexpr const char* kCurrentValuesFailed =
    "Error writing into the additional folder! \r\nPlease ensure that the folder exists and it "
    "isn't write protected!!\r\n";

int Decimals(const CAktuell& value) {
    // The data files use the same fallback for a value without sensor definition.
    return value.m_sensor != nullptr ? value.m_sensor->m_decimals : 2;
}

}  // namespace

std::string AdditionalStorage::Separator(int separatorMask) {
    static constexpr char kCharacters[] = {',', ';', '\t', ' ', '/'};
    std::string separator;
    for (int bit = 0; bit < 5; ++bit)
        if ((separatorMask & (1 << bit)) != 0) separator += kCharacters[bit];
    return separator;
}

std::string AdditionalStorage::FileSuffix(const std::string& dataFileExtension,
                                          const std::string& extension) {
    return extension == "orb" ? dataFileExtension : dataFileExtension + "." + extension;
}

std::string AdditionalStorage::BuildRow(std::time_t recordTime, const AdditionalFormat& format,
                                        const CurrentValues& values, bool storeVirtualSensors) {
    const std::string separator = Separator(format.separatorMask);
    std::string row;
    if ((format.columnMask & kTimeColumn) != 0)
        row += FormatLocalTime(recordTime, "%H:%M:%S") + separator;
    if ((format.columnMask & kDateColumn) != 0)
        row += FormatLocalTime(recordTime, "%d.%m.%y") + separator;
    for (const auto& value : values) {
        if (value->m_virtual && !storeVirtualSensors) continue;
        if ((format.columnMask & kIdentifierColumn) != 0) row += value->m_identifier;
        row += TextNumbers::FormatFixed(value->m_rawValue, Decimals(*value));
        row += separator;
    }
    // The date's dots turn into commas as well; programs reading these files expect that.
    if ((format.decimalMask & 1) != 0) std::replace(row.begin(), row.end(), '.', ',');
    return row + "\r\n";
}

std::string AdditionalStorage::BuildHeader(const AdditionalFormat& format,
                                           const CurrentValues& values) {
    const std::string separator = Separator(format.separatorMask);
    std::string header(1, kHeaderMark);
    if ((format.columnMask & kTimeColumn) != 0) header += "Uhrzeit" + separator;
    if ((format.columnMask & kDateColumn) != 0) header += "Datum" + separator;
    for (const auto& value : values) header += value->m_identifier + separator;
    return header + "\r\n";
}

int AdditionalStorage::InsertHeader(const std::string& path, const std::string& header, bool sync) {
    std::string content;
    // Only the first byte tells: a logger read-out calls this for every row of a growing file.
    int error = 0;
    if (const std::unique_ptr<FileStore::Reader> reader = m_files.OpenForReading(path, error)) {
        char first = 0;
        const long count = reader->Read(&first, 1);
        if (count < 0) return static_cast<int>(-count);
        if (count == 1 && first == kHeaderMark) return 0;
        if (count == 1) {
            if (const FileStore::Result read = m_files.ReadWhole(path, content); !read)
                return read.error;
        }
    } else if (error != ENOENT) {
        return error;
    }
    // Replaced as a whole: a crash leaves the old file or the new one, never a cut one.
    return m_files.Replace(path, header + content, sync).error;
}

bool AdditionalStorage::StoreAdditional(std::time_t recordTime, const Record& record,
                                        const StoreState& state) {
    // No folder means no additional storage; never write beside the file-system root.
    if (record.folder.empty()) return false;
    const std::string suffix = FileSuffix(record.dataFileExtension, record.format.extension);
    // Built even when the month file fails, so that the current-values file shows this record.
    const std::string row =
        BuildRow(recordTime, record.format, record.currentValues, record.storeVirtualSensors);
    DataFiles files(m_files);

    std::string path;
    std::string bytes;
    int error = 0;
    if (!state.storedSinceStart) {
        // The record's own month, as for the data file: a logger record of
        // last month belongs to last month's file.
        path = DataFiles::MonthFileName(record.folder, recordTime, suffix);
    } else {
        DataFiles::Gap gap = files.FillGap(record.folder, suffix, state.lastStoredTime, recordTime,
                                           record.interval, record.gapFields, record.sync);
        path = std::move(gap.path);
        bytes = std::move(gap.pending);
        error = gap.result.error;
    }
    if (error == 0 && record.format.headerLine)
        error = InsertHeader(path, BuildHeader(record.format, record.currentValues), record.sync);

    bool stored = false;
    if (error == 0) {
        bytes += row;
        const FileStore::AppendResult written = files.AppendLines(path, bytes, record.sync);
        if (written.written) {
            state.lastStoredTime = recordTime;
            state.storedSinceStart = true;
            stored = true;
        }
        error = written.error;
    }
    if (error != 0) {
        // Every lost row is reported, not only the first one after start: this
        // folder is the backup, and nobody should learn of a gap only when it is needed.
        OutputWrite(kOpenFailed, kColourError);
        OutputWrite(
            path + ": " + FileSystem::SystemErrorText(error) + " <==> NR: " + std::to_string(error),
            kColourError);
    }

    if (!record.initialisationRunning) {
        const std::string current = record.folder + "/AktWert" + record.dataFileExtension;
        // Earlier versions wrote it through a text-mode stream: the row ends CR CR LF.
        if (!m_files.Replace(current, DataFiles::TextModeBytes(row), record.sync))
            m_errorLog.WriteErrorLog(kCurrentValuesFailed + record.folder);
    }
    return stored;
}
