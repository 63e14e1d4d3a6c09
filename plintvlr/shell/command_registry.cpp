#include "plintvlr/shell/command_registry.h"

#include "plintvlr/shell/frame_commands.h"
#include "platform/ui/mdi_client.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <vector>

namespace {

struct Registrations {
    std::map<UINT, TFrameCommand> frameCommands;
    std::map<UINT, std::function<bool()>> shownRules;
    std::set<UINT> windowCommands;
    std::array<TEditorFactory, kEditorKindCount> editors;
    std::vector<std::function<void()>> atSetup;
    std::vector<std::function<void()>> atDestruction;
};

Registrations& Registry()
{
    static Registrations registrations;
    return registrations;
}

// The commands the frame and its client carry out themselves.
constexpr UINT kOwnCommands[] = {
    CM_CLOSEWINDOW, CM_EXIT, CM_CLOSEPROJECT, CM_HELPCONTENTS, CM_HELPSEARCH, CM_HELPONHELP, CM_ABOUT,
    CM_CASCADECHILDREN, CM_TILECHILDREN, CM_ARRANGEICONS, CM_CLOSECHILDREN,
};

// The client's editor commands and the editor each opens.
struct EditorCommand {
    UINT id;
    TEditorKind kind;
};
constexpr EditorCommand kEditorCommands[] = {
    {CM_GRAPHICPAGES, TEditorKind::GraphicPages}, {CM_TAGS, TEditorKind::Tags},
    {CM_SYSTEMSETTINGS, TEditorKind::SystemSettings}, {CM_PASSWORDS, TEditorKind::SystemSettings},
    {CM_OVERVIEWGROUPS, TEditorKind::OverviewGroups}, {CM_MESSAGETABLES, TEditorKind::MessageTables},
    {CM_COMMSBLOCKS, TEditorKind::CommsBlocks}, {CM_RECIPEGROUPS, TEditorKind::RecipeGroups},
};

}  // namespace

void RegisterFrameCommand(UINT id, TFrameCommand command, std::function<bool()> shown)
{
    Registry().frameCommands[id] = std::move(command);
    Registry().shownRules[id] = std::move(shown);
}

const TFrameCommand* FindFrameCommand(UINT id)
{
    auto it = Registry().frameCommands.find(id);
    return it == Registry().frameCommands.end() || !it->second.run ? nullptr : &it->second;
}

void RegisterWindowCommand(UINT id)
{
    Registry().windowCommands.insert(id);
}

void RegisterEditorFactory(TEditorKind kind, TEditorFactory factory)
{
    Registry().editors[static_cast<std::size_t>(kind)] = std::move(factory);
}

const TEditorFactory* FindEditorFactory(TEditorKind kind)
{
    const TEditorFactory& factory = Registry().editors[static_cast<std::size_t>(kind)];
    return factory ? &factory : nullptr;
}

void RegisterFrameLifeSteps(std::function<void()> atSetup, std::function<void()> atDestruction)
{
    if (atSetup)
        Registry().atSetup.push_back(std::move(atSetup));
    if (atDestruction)
        Registry().atDestruction.push_back(std::move(atDestruction));
}

void RunFrameSetupSteps()
{
    for (const auto& step : Registry().atSetup)
        step();
}

void RunFrameDestructionSteps()
{
    for (const auto& step : Registry().atDestruction)
        step();
}

bool IsCommandProvided(UINT id)
{
    if (std::find(std::begin(kOwnCommands), std::end(kOwnCommands), id) != std::end(kOwnCommands))
        return true;
    if (FindFrameCommand(id)) {
        const auto rule = Registry().shownRules.find(id);
        if (rule == Registry().shownRules.end() || !rule->second || rule->second())
            return true;
    }
    if (Registry().windowCommands.count(id))
        return true;
    for (const EditorCommand& command : kEditorCommands) {
        if (command.id == id)
            return FindEditorFactory(command.kind) != nullptr;
    }
    return false;
}

void ClearCommandRegistrations()
{
    Registry() = Registrations{};
}
