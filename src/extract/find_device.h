#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillery {

// Where the search for a connected e-reader looks: the system's mount table
// and the desktop's runtime folder, under which GVFS mounts MTP devices, or
// on Windows the removable drives.
struct DeviceSearchPlaces {
    std::u16string mountTable = u"/proc/self/mounts"; // empty: none
    std::u16string runtimeDir;                        // $XDG_RUNTIME_DIR; empty: no MTP devices
    std::vector<std::u16string> drives{};             // each searched like a mount point
};

// The search places of this session: /proc/self/mounts and $XDG_RUNTIME_DIR,
// or on Windows the roots of the removable drives ("E:\").
DeviceSearchPlaces SessionSearchPlaces();

// The mount points a mount table lists (its second field, with the octal
// escapes "\040" and the like decoded), leaving out kernel file systems
// such as proc and sysfs, and network ones, whose folders may not answer.
std::vector<std::string> MountPoints(std::string_view mountTable);

// The clippings file a device's folder holds: "documents/My Clippings.txt"
// inside it, else "My Clippings.txt" inside it; "" when it holds neither.
std::u16string ClippingsInFolder(std::u16string_view folder);

// The clippings file of every connected e-reader, sorted, each once: in
// every mount point of the mount table, in every drive, and in every storage
// of each "mtp:host=..." folder under runtimeDir/gvfs.
std::vector<std::u16string> FindDeviceClippings(const DeviceSearchPlaces& places);

// Where FindDeviceClippings looked, for a message that no device was found.
std::string SearchedPlacesText(const DeviceSearchPlaces& places);

// The file a run reads for the path the user gave: a folder that holds a
// clippings file (a device or its documents folder) gives that file; any
// other path stays as it is. Throws RunError for a folder that holds none,
// naming what was looked for.
std::u16string ResolveInputPath(std::u16string_view path);

} // namespace quillery
