#include "platform/foundation/opened_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/foundation/file_manager.h"

namespace foundation {

namespace {

// Not every kernel's <linux/magic.h> names these.
constexpr unsigned long kConfigfsMagic = 0x62656570;
constexpr unsigned long kMqueueMagic = 0x19800202;
constexpr unsigned long kFusectlMagic = 0x65735543;
constexpr unsigned long kRpcPipefsMagic = 0x67596969;
constexpr unsigned long kNfsdMagic = 0x6e667364;

constexpr std::array<unsigned long, 29> kKernelFileSystems = {
    PROC_SUPER_MAGIC,     SYSFS_MAGIC,          CGROUP_SUPER_MAGIC,    CGROUP2_SUPER_MAGIC,
    DEBUGFS_MAGIC,        TRACEFS_MAGIC,        SECURITYFS_MAGIC,      EFIVARFS_MAGIC,
    kConfigfsMagic,       BPF_FS_MAGIC,         BINFMTFS_MAGIC,        PSTOREFS_MAGIC,
    DEVPTS_SUPER_MAGIC,   kMqueueMagic,         HUGETLBFS_MAGIC,       kFusectlMagic,
    SELINUX_MAGIC,        SMACK_MAGIC,          AUTOFS_SUPER_MAGIC,    NSFS_MAGIC,
    RDTGROUP_SUPER_MAGIC, BINDERFS_SUPER_MAGIC, USBDEVICE_SUPER_MAGIC, XENFS_SUPER_MAGIC,
    AAFS_MAGIC,           OPENPROM_SUPER_MAGIC, kRpcPipefsMagic,       kNfsdMagic,
    ANON_INODE_FS_MAGIC,
};

OpenedFile::Kind kindOfMode(mode_t mode) {
    using Kind = OpenedFile::Kind;
    if (S_ISREG(mode)) return Kind::regularFile;
    if (S_ISDIR(mode)) return Kind::folder;
    if (S_ISFIFO(mode)) return Kind::fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return Kind::device;
    if (S_ISSOCK(mode)) return Kind::socket;
    return Kind::other;
}

}  // namespace

bool isKernelFileSystem(unsigned long type) {
    return std::find(kKernelFileSystems.begin(), kKernelFileSystems.end(), type) != kKernelFileSystems.end();
}

OpenedFile OpenedFile::open(const std::string& path) {
    struct stat named {};
    if (path.empty() || ::stat(path.c_str(), &named) != 0) return {path, {}, Kind::missing};
    // Opening a device can act (a tape rewinds, a line hangs up): it is refused by its name
    // alone. What the descriptor shows below is what counts for everything else.
    if (S_ISCHR(named.st_mode) || S_ISBLK(named.st_mode) || S_ISSOCK(named.st_mode))
        return {path, {}, kindOfMode(named.st_mode)};
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!file) return {path, {}, errno == ENOENT || errno == ELOOP ? Kind::missing : Kind::unreadable};
    struct stat opened {};
    struct statfs filesystem {};
    if (::fstat(file.get(), &opened) != 0 || ::fstatfs(file.get(), &filesystem) != 0)
        return {path, {}, Kind::unreadable};
    // Before the type: a file of /proc passes as a regular one.
    if (isKernelFileSystem(static_cast<unsigned long>(filesystem.f_type))) return {path, {}, Kind::systemFile};
    const Kind kind = kindOfMode(opened.st_mode);
    if (kind != Kind::regularFile) return {path, {}, kind};
    return {path, std::move(file), kind};
}

Status OpenedFile::copyTo(const URL& destination) const {
    if (m_kind != Kind::regularFile || !m_file)
        return Error::foundation(kErrorUnsupported, "cannot copy " + m_path + ": it is no regular file");
    return FileManager::defaultManager().copyOpenedFile(m_file.get(), m_path, destination);
}

}  // namespace foundation
