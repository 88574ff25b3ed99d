#include "app/AppContext.h"

#include "platform/PosixFileStore.h"

FileStore& AppContext::Files() const {
    return files != nullptr ? *files : PosixFileStore::Process();
}
