#include "system/qt/PlistFile.h"

#include "engine/Utf8.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace terrabo {

namespace {

using State = StringArrayFile::State;

std::int64_t nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool readAll(int fd, std::string& bytes, std::size_t expected) {
    bytes.resize(expected);
    std::size_t got = 0;
    while (got < expected) {
        const ssize_t n = ::read(fd, bytes.data() + got, expected - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // an error, or the file shrank under us
        got += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

PlistFile::Signature PlistFile::signatureOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

StringArrayFile PlistFile::readStringArray(const std::string& path) {
    const StringArrayFile notAnArray{State::NotAnArray, {}};
    // One descriptor for the signature and the bytes, so they belong together.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        struct stat link {};
        if ((errno == ENOENT || errno == ENOTDIR) && ::lstat(path.c_str(), &link) != 0)
            return {State::Missing, {}};
        return notAnArray; // there, but not readable: never written over
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxFileBytes_)
        return notAnArray;
    const Signature signature = signatureOf(st);
    if (known_ && known_->path == path && known_->signature == signature)
        return known_->file;

    std::string bytes;
    StringArrayFile result = notAnArray;
    if (readAll(fd.get(), bytes, static_cast<std::size_t>(st.st_size))) {
        if (auto items = plist::readStringArray(bytes))
            result = {State::Array, std::move(*items)};
    }
    known_ = Known{path, signature, result};
    return result;
}

bool PlistFile::writeStringArrayAtomically(const std::string& path,
                                           const std::vector<std::string>& items) {
    const QString qpath = QString::fromStdString(path);
    if (!QDir().mkpath(QFileInfo(qpath).absolutePath()))
        return false;
    QSaveFile file(qpath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::string document = plist::writeStringArray(items);
    if (file.write(document.data(), static_cast<qint64>(document.size())) !=
            static_cast<qint64>(document.size()) ||
        !file.commit())
        return false;

    // What was just written need not be read back at the next lookup.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        known_.reset();
        return true;
    }
    StringArrayFile written{State::Array, {}};
    written.items.reserve(items.size());
    for (const std::string& item : items)
        written.items.push_back(utf8::storable(item));
    known_ = Known{path, signatureOf(st), std::move(written)};
    return true;
}

} // namespace terrabo
