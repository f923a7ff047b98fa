#pragma once

#include <functional>
#include <string>

namespace quillery {

class FreshFolder;
class FrontEnd;
struct RunRequest;

// Makes the run's new "My Clippings" folder (numbered when the name is taken)
// in the request's base folder, enters the saving phase and yields once (a
// run given up then leaves nothing: the empty folder goes), then lets `write`
// fill the folder. A lack of memory while writing is told with the folder
// that keeps the partial output. Returns the folder's path.
std::u16string WriteIntoNewFolder(const RunRequest& request, FrontEnd& frontEnd,
                                  const std::function<void(FreshFolder& folder)>& write);

} // namespace quillery
