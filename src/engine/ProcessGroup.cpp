#include "engine/ProcessGroup.h"

#include <QProcess>

#include <csignal>
#include <unistd.h>

namespace ProcessGroup {

void startOwnGroup(QProcess &process)
{
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

bool signalGroup(pid_t leader, int signal)
{
    if (leader <= 0)
        return false;
    // Only a group this very process leads: never a group some other process left behind.
    if (::getpgid(leader) == leader)
        return ::killpg(leader, signal) == 0;
    return ::kill(leader, signal) == 0;
}

} // namespace ProcessGroup
