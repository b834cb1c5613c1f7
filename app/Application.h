#pragma once
// Program-wide facts: where the program's files are and the order in which
// everything is taken down when the main window unloads.
#include "app/core/ProgramPaths.h"
#include "app/core/ShutdownOrder.h"

namespace px {

class Application {
public:
    static Application& Get();

    const ProgramPaths& Paths() const noexcept { return paths_; }
    ShutdownOrder& Shutdown() noexcept { return shutdown_; }

private:
    Application();
    ProgramPaths paths_;
    ShutdownOrder shutdown_;
};

}  // namespace px
