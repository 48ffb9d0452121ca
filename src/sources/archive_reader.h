#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

struct archive;

// Archives as the data providers ship them (ZIP, LZH, tar.gz and the like), read through libarchive member by
// member without unpacking anything to disk: a member streams to its reader through a pipe, so memory stays
// that of one block whatever the member's size. Only a member whose reader must seek (a database) is held
// whole, in the shared-memory folder, within the same bound.
namespace pado::sources {

// Whether a file's first bytes are those of an archive or a compressed file this program opens.
bool LooksLikeArchive(std::string_view head);

class ArchiveReader {
public:
    // Throws pado::UserError when the file cannot be opened as an archive.
    explicit ArchiveReader(const std::filesystem::path& file);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // "ZIP", "LZH", "tar.gz" …, once the first member has been read.
    std::string FormatName() const;

    // The next regular file of the archive (folders and links are passed over); false at the end. Throws
    // pado::UserError when the archive is damaged so that no further member can be found.
    bool Next();
    // The current member's path inside the archive, as text fit for a message (control characters as '?').
    const std::string& MemberName() const { return name_; }
    // Its first bytes (up to kHeadBytes), for detection; read once, then handed on with the rest.
    const std::string& Head();
    // Why the member's data could not be read so far (damaged, encrypted); empty while it reads.
    const std::string& DataProblem() const { return dataError_; }
    // The size the member's header declares, -1 when it declares none.
    std::int64_t DeclaredSize() const { return declared_; }

    // Hands the current member to read() as a path it can open: a pipe, or with wholeFile a file in memory it
    // can seek in. Returns an empty string when the member was read to its end intact, otherwise why not (damaged,
    // larger than the bound); what read() took from it must then be thrown away.
    std::string ReadMember(const std::function<void(const std::filesystem::path&)>& read, bool wholeFile);

    // No member may expand beyond this: a member far larger than its archive is a compression bomb.
    std::uint64_t MemberBound() const { return bound_; }

private:
    std::string Problem() const;
    std::string StreamThroughPipe(const std::function<void(const std::filesystem::path&)>& read);
    std::string HoldInMemory(const std::function<void(const std::filesystem::path&)>& read);

    struct archive* a_ = nullptr;
    std::filesystem::path file_;
    std::string name_, head_;
    bool headRead_ = false;
    std::int64_t declared_ = -1;
    std::uint64_t bound_ = 0;
    std::string dataError_; // a failure met while reading the head
};

// The bound for an archive of the given size: generous for real data (text compresses some tenfold), far below
// what a bomb expands to.
std::uint64_t ArchiveMemberBound(std::uintmax_t archiveBytes);

} // namespace pado::sources
