#include "path_kind.h"

#include <cerrno>

namespace kvh::core {

PathKind pathKind(const std::string& path, const StatCalls& calls) {
    struct stat st {};
    if (calls.stat(path.c_str(), &st) == 0)
        return S_ISREG(st.st_mode) ? PathKind::Regular : PathKind::NotRegular;
    const int err = errno;
    if (calls.lstat(path.c_str(), &st) == 0)
        return S_ISLNK(st.st_mode) ? PathKind::DanglingLink : PathKind::NotRegular;
    // A path the system cannot look at (no permission, a loop) is no regular file either.
    return err == ENOENT ? PathKind::Missing : PathKind::NotRegular;
}

} // namespace kvh::core
