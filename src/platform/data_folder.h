// Stand-in for the sibling library orxCmnBS, which tells the product where
// its data folder is. Only the three calls the frame relies on exist.
//
// The folder is ORX_DATA_FOLDER when set and non-empty, otherwise
// $XDG_DATA_HOME/ormix, otherwise $HOME/.local/share/ormix; with none of
// these variables set, the empty string (settings paths are then bare file
// names, resolved against the current directory).
#ifndef ORX_PLATFORM_DATA_FOLDER_H_
#define ORX_PLATFORM_DATA_FOLDER_H_

#include <cstdint>

namespace orx::platform {

// Prepares fsGetOrmixDataPath. `flags` is 0. Returns 0.
int32_t cmnbInit(int32_t flags);

// The data folder as zero-terminated UTF-16, without a trailing separator
// (unless the environment gave one). Valid until cmnbFree.
const char16_t* fsGetOrmixDataPath();

// Releases what cmnbInit prepared. `flags` is 0. Returns 0.
int32_t cmnbFree(int32_t flags);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_DATA_FOLDER_H_
