#include "database/engine/salvage/page_view.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <mutex>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/sqlite_vfs.h"

// SQLite's page readers sqlite_dbdata and sqlite_dbptr, from its recovery extension.
extern "C" int sqlite3_dbdata_init(sqlite3* db, char** error, const sqlite3_api_routines* api);

namespace engine::detail {

namespace {

constexpr const char* kVfsName = "qn-page-view";
constexpr const char* kPageSizeParameter = "qn_page_size";
constexpr int kHeaderSize = 100;

// A file of the view: the underlying file follows this struct in the same allocation.
struct ViewFile {
    sqlite3_file base;
    sqlite3_file* real;
    int pageSize;
};

sqlite3_vfs* underlying() { return ioLayer(); }

template <std::size_t N>
void putBigEndian(std::array<unsigned char, N>& bytes, std::size_t at, std::uint32_t value, std::size_t width) {
    for (std::size_t i = width; i-- > 0; value >>= 8) bytes[at + i] = static_cast<unsigned char>(value & 0xff);
}

// The first page of an empty database of the file's page size and page count (pages past these
// first bytes are zeros).
std::array<unsigned char, kHeaderSize + 8> emptyFirstPage(int pageSize, sqlite3_int64 fileSize) {
    std::array<unsigned char, kHeaderSize + 8> page{};
    std::memcpy(page.data(), "SQLite format 3", 16);
    const auto size = static_cast<std::uint32_t>(pageSize);
    putBigEndian(page, 16, size == 65536 ? 1 : size, 2);
    page[18] = 1;  // rollback journal, for writing and reading
    page[19] = 1;
    page[21] = 64;  // payload fractions, fixed by the format
    page[22] = 32;
    page[23] = 32;
    putBigEndian(page, 28, static_cast<std::uint32_t>(fileSize / pageSize), 4);
    page[47] = 4;  // schema format
    page[59] = 1;  // UTF-8
    // An empty leaf of the schema table: no cells, its content area starting at the page's end.
    page[kHeaderSize] = 0x0d;
    putBigEndian(page, kHeaderSize + 5, size == 65536 ? 0 : size, 2);
    return page;
}

ViewFile& view(sqlite3_file* file) { return *reinterpret_cast<ViewFile*>(file); }

int viewClose(sqlite3_file* file) { return view(file).real->pMethods->xClose(view(file).real); }

int viewRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    ViewFile& v = view(file);
    if (offset >= v.pageSize) return v.real->pMethods->xRead(v.real, buffer, amount, offset);
    sqlite3_int64 size = 0;
    const int rc = v.real->pMethods->xFileSize(v.real, &size);
    if (rc != SQLITE_OK) return rc;
    const auto page = emptyFirstPage(v.pageSize, size);
    const sqlite3_int64 fromPage = std::min<sqlite3_int64>(amount, v.pageSize - offset);
    auto* out = static_cast<unsigned char*>(buffer);
    std::memset(out, 0, static_cast<std::size_t>(fromPage));
    if (offset < static_cast<sqlite3_int64>(page.size()))
        std::memcpy(out, page.data() + offset,
                    static_cast<std::size_t>(std::min<sqlite3_int64>(fromPage, static_cast<sqlite3_int64>(page.size()) - offset)));
    if (fromPage == amount) return SQLITE_OK;
    return v.real->pMethods->xRead(v.real, static_cast<unsigned char*>(buffer) + fromPage,
                                   static_cast<int>(amount - fromPage), offset + fromPage);
}

int viewWrite(sqlite3_file*, const void*, int, sqlite3_int64) { return SQLITE_READONLY; }
int viewTruncate(sqlite3_file*, sqlite3_int64) { return SQLITE_READONLY; }
int viewSync(sqlite3_file*, int) { return SQLITE_OK; }
int viewFileSize(sqlite3_file* file, sqlite3_int64* size) {
    return view(file).real->pMethods->xFileSize(view(file).real, size);
}
int viewLock(sqlite3_file*, int) { return SQLITE_OK; }
int viewUnlock(sqlite3_file*, int) { return SQLITE_OK; }
int viewCheckReservedLock(sqlite3_file*, int* reserved) {
    *reserved = 0;
    return SQLITE_OK;
}
int viewFileControl(sqlite3_file*, int, void*) { return SQLITE_NOTFOUND; }
int viewSectorSize(sqlite3_file* file) { return view(file).real->pMethods->xSectorSize(view(file).real); }
int viewDeviceCharacteristics(sqlite3_file*) { return SQLITE_IOCAP_IMMUTABLE; }

const sqlite3_io_methods kViewMethods = {
    1,       viewClose,       viewRead,       viewWrite,       viewTruncate,
    viewSync, viewFileSize,   viewLock,       viewUnlock,      viewCheckReservedLock,
    viewFileControl, viewSectorSize, viewDeviceCharacteristics,
    nullptr, nullptr,         nullptr,        nullptr,         nullptr,
    nullptr,
};

int viewOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    ViewFile& v = view(file);
    v.base.pMethods = nullptr;
    v.real = reinterpret_cast<sqlite3_file*>(&v + 1);
    // Only the database itself is seen through the view; it is opened only to be read.
    if ((flags & SQLITE_OPEN_MAIN_DB) == 0) return SQLITE_CANTOPEN;
    v.pageSize = static_cast<int>(sqlite3_uri_int64(name, kPageSizeParameter, 0));
    const int rc = underlying()->xOpen(underlying(), name, v.real, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, outFlags);
    if (rc == SQLITE_OK) v.base.pMethods = &kViewMethods;
    return rc;
}

int viewDelete(sqlite3_vfs*, const char*, int) { return SQLITE_READONLY; }
int viewAccess(sqlite3_vfs*, const char* name, int flags, int* result) {
    return underlying()->xAccess(underlying(), name, flags, result);
}
int viewFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return underlying()->xFullPathname(underlying(), name, size, out);
}
int viewRandomness(sqlite3_vfs*, int size, char* out) { return underlying()->xRandomness(underlying(), size, out); }
int viewSleep(sqlite3_vfs*, int microseconds) { return underlying()->xSleep(underlying(), microseconds); }
int viewCurrentTime(sqlite3_vfs*, double* now) { return underlying()->xCurrentTime(underlying(), now); }
int viewGetLastError(sqlite3_vfs*, int size, char* out) {
    return underlying()->xGetLastError(underlying(), size, out);
}

sqlite3_vfs& viewVfs() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs made{};
        made.iVersion = 1;
        made.szOsFile = static_cast<int>(sizeof(ViewFile)) + underlying()->szOsFile;
        made.mxPathname = underlying()->mxPathname;
        made.zName = kVfsName;
        made.xOpen = viewOpen;
        made.xDelete = viewDelete;
        made.xAccess = viewAccess;
        made.xFullPathname = viewFullPathname;
        made.xRandomness = viewRandomness;
        made.xSleep = viewSleep;
        made.xCurrentTime = viewCurrentTime;
        made.xGetLastError = viewGetLastError;
        return made;
    }();
    return vfs;
}

// The path as the path part of a URI: every byte outside the unreserved ones percent-encoded.
std::string uriPath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 15];
        }
    }
    return uri;
}

}  // namespace

std::shared_ptr<Connection> openPageView(const std::string& path, int pageSize) {
    static std::once_flag registered;
    std::call_once(registered, [] { sqlite3_vfs_register(&viewVfs(), 0); });
    std::shared_ptr<Connection> view = Connection::open(
        "file:" + uriPath(path) + "?immutable=1&" + kPageSizeParameter + "=" + std::to_string(pageSize),
        OpenMode::ReadOnly, kVfsName, path);
    if (const int rc = sqlite3_dbdata_init(view->handle(), nullptr, nullptr); rc != SQLITE_OK) view->fail(rc);
    return view;
}

}  // namespace engine::detail
