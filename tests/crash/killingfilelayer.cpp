#include "tests/crash/killingfilelayer.h"

#include <sqlite3.h>

#include <csignal>
#include <cstring>

namespace killingfilelayer {
namespace {

sqlite3_vfs* gUsual = nullptr;
sqlite3_vfs gLayer;
sqlite3_io_methods gMethods;
QByteArray gFolder;
long gKillAt = 0;
long gCount = 0;
bool gArmed = false;

// The usual layer's file follows this header in the same allocation.
struct LayeredFile {
    sqlite3_file header;
    sqlite3_file* usual;
    bool watched;
};

sqlite3_file* usualOf(sqlite3_file* file) {
    return reinterpret_cast<LayeredFile*>(file)->usual;
}

void countOperation(bool watched) {
    if (!gArmed || !watched) {
        return;
    }
    ++gCount;
    if (gKillAt > 0 && gCount >= gKillAt) {
        std::raise(SIGKILL);
    }
}

bool isWatched(const char* path) {
    return path && std::strncmp(path, gFolder.constData(), size_t(gFolder.size())) == 0;
}

int layerClose(sqlite3_file* file) {
    return usualOf(file)->pMethods->xClose(usualOf(file));
}
int layerRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    return usualOf(file)->pMethods->xRead(usualOf(file), buffer, amount, offset);
}
int layerWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    countOperation(reinterpret_cast<LayeredFile*>(file)->watched);
    return usualOf(file)->pMethods->xWrite(usualOf(file), buffer, amount, offset);
}
int layerTruncate(sqlite3_file* file, sqlite3_int64 size) {
    countOperation(reinterpret_cast<LayeredFile*>(file)->watched);
    return usualOf(file)->pMethods->xTruncate(usualOf(file), size);
}
int layerSync(sqlite3_file* file, int flags) {
    countOperation(reinterpret_cast<LayeredFile*>(file)->watched);
    return usualOf(file)->pMethods->xSync(usualOf(file), flags);
}
int layerFileSize(sqlite3_file* file, sqlite3_int64* size) {
    return usualOf(file)->pMethods->xFileSize(usualOf(file), size);
}
int layerLock(sqlite3_file* file, int level) {
    return usualOf(file)->pMethods->xLock(usualOf(file), level);
}
int layerUnlock(sqlite3_file* file, int level) {
    return usualOf(file)->pMethods->xUnlock(usualOf(file), level);
}
int layerCheckReservedLock(sqlite3_file* file, int* result) {
    return usualOf(file)->pMethods->xCheckReservedLock(usualOf(file), result);
}
int layerFileControl(sqlite3_file* file, int op, void* argument) {
    return usualOf(file)->pMethods->xFileControl(usualOf(file), op, argument);
}
int layerSectorSize(sqlite3_file* file) {
    return usualOf(file)->pMethods->xSectorSize(usualOf(file));
}
int layerDeviceCharacteristics(sqlite3_file* file) {
    return usualOf(file)->pMethods->xDeviceCharacteristics(usualOf(file));
}

// Version 1 of the methods: no shared memory and no memory mapping, so that
// every change goes through the counted calls.
void setUpMethods() {
    gMethods = {};
    gMethods.iVersion = 1;
    gMethods.xClose = layerClose;
    gMethods.xRead = layerRead;
    gMethods.xWrite = layerWrite;
    gMethods.xTruncate = layerTruncate;
    gMethods.xSync = layerSync;
    gMethods.xFileSize = layerFileSize;
    gMethods.xLock = layerLock;
    gMethods.xUnlock = layerUnlock;
    gMethods.xCheckReservedLock = layerCheckReservedLock;
    gMethods.xFileControl = layerFileControl;
    gMethods.xSectorSize = layerSectorSize;
    gMethods.xDeviceCharacteristics = layerDeviceCharacteristics;
}

int layerOpen(sqlite3_vfs*, const char* path, sqlite3_file* file, int flags, int* outFlags) {
    auto* layered = reinterpret_cast<LayeredFile*>(file);
    layered->usual = reinterpret_cast<sqlite3_file*>(layered + 1);
    layered->watched = isWatched(path);
    const int result = gUsual->xOpen(gUsual, path, layered->usual, flags, outFlags);
    layered->header.pMethods = layered->usual->pMethods ? &gMethods : nullptr;
    return result;
}

int layerDelete(sqlite3_vfs*, const char* path, int syncDirectory) {
    countOperation(isWatched(path));
    return gUsual->xDelete(gUsual, path, syncDirectory);
}

}  // namespace

void install(const QByteArray& folder, long killAt) {
    gUsual = sqlite3_vfs_find(nullptr);
    gFolder = folder;
    gKillAt = killAt;
    setUpMethods();
    gLayer = *gUsual;
    gLayer.iVersion = 1;
    gLayer.zName = "killing";
    gLayer.szOsFile = int(sizeof(LayeredFile)) + gUsual->szOsFile;
    gLayer.pNext = nullptr;
    gLayer.xOpen = layerOpen;
    gLayer.xDelete = layerDelete;
    sqlite3_vfs_register(&gLayer, 1);
}

void arm() {
    gArmed = true;
}

long operationCount() {
    return gCount;
}

}  // namespace killingfilelayer
