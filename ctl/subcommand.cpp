#include "subcommand.h"

#include "discovercommand.h"
#include "getcommand.h"
#include "loadcommand.h"
#include "savecommand.h"
#include "setcommand.h"
#include "statecommand.h"
#include "terminalcommand.h"

const std::vector<Subcommand> &Subcommand::all()
{
    static const std::vector<Subcommand> table{
        {QStringLiteral("discover"),
         QStringLiteral("discover [--json] [--wait MS]"),
         false,
         0,
         0,
         {QStringLiteral("json"), QStringLiteral("wait")},
         &DiscoverCommand::run},
        {QStringLiteral("get"),
         QStringLiteral("ADDRESS get PATH..."),
         true,
         1,
         -1,
         {},
         &GetCommand::run},
        {QStringLiteral("set"),
         QStringLiteral("ADDRESS set PATH=VALUE... [--save]"),
         true,
         1,
         -1,
         {QStringLiteral("save")},
         &SetCommand::run},
        {QStringLiteral("state"),
         QStringLiteral("ADDRESS state [--watch [--csv|--json]] [--duration S]"),
         true,
         0,
         0,
         {QStringLiteral("watch"), QStringLiteral("csv"), QStringLiteral("json"),
          QStringLiteral("duration")},
         &StateCommand::run},
        {QStringLiteral("save"),
         QStringLiteral("ADDRESS save FILE"),
         true,
         1,
         1,
         {},
         &SaveCommand::run},
        {QStringLiteral("load"),
         QStringLiteral("ADDRESS load FILE [--dry-run]"),
         true,
         1,
         1,
         {QStringLiteral("dry-run")},
         &LoadCommand::run},
        {QStringLiteral("terminal"),
         QStringLiteral("ADDRESS terminal"),
         true,
         0,
         0,
         {},
         &TerminalCommand::run},
    };
    return table;
}

const Subcommand *Subcommand::find(const QString &name)
{
    for (const Subcommand &subcommand : all()) {
        if (subcommand.name == name)
            return &subcommand;
    }
    return nullptr;
}
