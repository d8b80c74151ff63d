#include "SystemFolders.h"

namespace Module1 {

void LoadSystemFolders()
{
    systemFolders() = xdgSystemFolders(XdgEnvironment::fromProcess());
}

} // namespace Module1
