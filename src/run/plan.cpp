#include "run/plan.h"

#include <cstring>

#include "expand/directory_walk.h"
#include "expand/target_check.h"
#include "run/command_line.h"
#include "run/launch.h"
#include "run/program_search.h"
#include "support/dbcs.h"
#include "support/messages.h"

namespace {

// Room for a line of either mode.
constexpr std::size_t kPlanLineSize =
    kBatchLineSize > kCommandLineCapacity ? kBatchLineSize : kCommandLineCapacity;

// Adds one command, run in `directory`: its argument text and its line in
// the plan's mode.
int AddCommand(RunPlan* plan, const PlanPlatform& platform, const char* arguments, const char* directory) {
  char line[kPlanLineSize];
  if (plan->mode == kPlanBatch) {
    if (!ComposeBatchLine(plan->lineProgram, arguments, line, sizeof line)) return 0;
  } else {
    // A line too long to start stays empty: its start says so.
    ComposeCommandLineIn(line, kCommandLineCapacity, plan->commands.program, arguments,
                         platform.shell, directory);
  }
  CommandList* list = &plan->commands;
  if (!AppendBytes(&list->arguments, arguments, std::strlen(arguments) + 1) ||
      !AppendBytes(&plan->lines, line, std::strlen(line) + 1)) {
    return 0;
  }
  ++list->count;
  return 1;
}

// The commands of one block, run in `directory` ("" for none), from `rows`:
// one per match of the file expansion, or the one command when no file text
// expands. Returns -1, or the program error that stopped them.
int PlanCommands(RunPlan* plan, Expansion* expansion, const PlanPlatform& platform,
                 const char* directory, int walked, const ArgumentRows& rows) {
  if (plan->programLeftOut) return -1;
  CommandList* list = &plan->commands;
  const int form = list->form;
  char fileTexts[kArgumentRowCount][kRowTextSize];
  for (int i = 0; i < kArgumentRowCount; ++i) {
    CopyPathText(fileTexts[i], rows.row[i].fileText);
  }
  CopyPathText(expansion->commandFolder, directory);
  // Only a walked folder is a base for relative file texts.
  const char* base = walked ? directory : nullptr;
  ChooseExpandedRow(fileTexts, base, list->pattern, expansion->folderName.text);
  TargetRecord* targets = platform.targets;
  if (targets != nullptr && !MayHoldTargets(rows, expansion->folderName.text)) {
    targets = nullptr;
  }
  SearchSource recorded{};
  if (targets != nullptr) recorded = RecordSearches(targets, platform.search);
  list->expanded =
      BeginFileExpansion(expansion, fileTexts, base, targets != nullptr ? &recorded : platform.search);
  if (targets != nullptr && list->expanded) {
    BeginListTargets(targets, *expansion, rows, directory);
  }

  char arguments[kArgumentTextCapacity];
  int result = -1;
  for (;;) {
    // The targets are recorded from the match the command is made from,
    // before the assembly moves the search on.
    if (targets != nullptr && list->expanded && SearchPreStep(expansion, form)) {
      RecordCommandTargets(targets, expansion);
    }
    if (!AssembleArgumentText(expansion, rows, arguments, sizeof arguments, form)) {
      // After the last match the expansion has ended, and a command that
      // would hold a name left out is none; otherwise the command at hand did
      // not fit.
      if (!FileExpansionEnded(*expansion)) result = kErrorLineTooLong;
      break;
    }
    if (!AddCommand(plan, platform, arguments, directory)) {
      result = kErrorNoMemory;
      break;
    }
    if (!list->expanded) break;
  }
  EndFileExpansion(expansion);
  return result;
}

// 1 when the commands of a batch block would hand a walked folder's name to
// a program that cmd reads again, and cmd would change that name.
int FolderNameChangedByCmd(const RunPlan& plan, const FolderName& name) {
  if (!name.fromDisk) return 0;
  const char* changed = CmdChangedCharacters(plan.commands.form);
  if (changed[0] == '\0' || FindAnyCharDbcs(name.text, changed) == nullptr) return 0;
  for (const ArgumentRow& row : plan.rows.row) {
    char text[kRowTextSize];
    CopyPathText(text, row.fileText);
    if (IsPlainFileText(text) && HoldsFolderNameToken(text)) return 1;
  }
  return 0;
}

// 1 when a typed directory holding a '%' names an existing folder: it is
// then written as a name from disk.
int TypedDirectoryOnDisk(const SearchSource& search, const char* directory) {
  char text[kRowTextSize];
  CopyPathText(text, directory);
  RemoveEnclosingQuotes(text);
  return FindCharDbcs(text, '%') != nullptr && search.exists != nullptr &&
         search.exists(search.self, text);
}

// One block and its commands. In a batch plan its folder gives the folder
// name; a walked folder whose name the commands could not hand on as it is
// gives no block and is counted as left out; the planning folder (`own` 1)
// gives "*/" no name, as a block without a folder line does. Returns -1, or
// the program error that stopped the plan.
int PlanBlockIn(RunPlan* plan, Expansion* expansion, const PlanPlatform& platform,
                const char* directory, int walked, int own = 0) {
  if (plan->mode == kPlanBatch && directory[0] != '\0') {
    const int fromDisk = walked || own || TypedDirectoryOnDisk(*platform.search, directory);
    SetFolderName(&expansion->folderName, directory, fromDisk);
    if (own) expansion->folderName.text[0] = '\0';
    if (FolderNameChangedByCmd(*plan, expansion->folderName)) {
      UseNameInForm(&expansion->leftOut, expansion->folderName.text, kCmdBatchLineForm);
      return -1;
    }
  }
  PlanBlock block{};
  CopyPathText(block.folder, directory);
  block.name = expansion->folderName;
  block.walked = walked;
  block.first = plan->commands.count;
  if (!AppendBytes(&plan->blocks, &block, sizeof block)) return kErrorNoMemory;
  const int result = PlanCommands(plan, expansion, platform, directory, walked, plan->rows);
  Records<PlanBlock>(plan->blocks)[BlockCount(*plan) - 1].count = plan->commands.count - block.first;
  return result;
}

// The UNC folder the planning folder is, or null.
const char* NetworkPlanningFolder(const PlanPlatform& platform) {
  const char* folder = platform.planningFolder;
  return folder != nullptr && IsNetworkPath(folder) ? folder : nullptr;
}

// A current directory relative to a UNC planning folder, made full from it:
// cmd cannot start in a UNC folder, and would take it from where it does.
// One that starts with a backslash is taken from the root of the share.
void JoinToNetworkFolder(RunPlan* plan, const PlanPlatform& platform) {
  const char* network = NetworkPlanningFolder(platform);
  char typed[kRowTextSize];
  CopyPathText(typed, plan->currentDirectory);
  RemoveEnclosingQuotes(typed);
  if (network == nullptr || typed[0] == '\0' || typed[1] == ':' || IsNetworkPath(typed)) return;
  char full[kRowTextSize];
  if (ResolvePath(network, typed, full)) CopyPathText(plan->currentDirectory, full);
}

// The blocks of a batch plan: one per folder of the directory walk, or one
// for the typed current directory, or, for none, one in a UNC planning
// folder (cmd starts the file elsewhere), or one without a folder.
int PlanBatchBlocks(RunPlan* plan, Expansion* expansion, const PlanPlatform& platform) {
  DirectoryWalk walk{};
  walk.leftOut = &expansion->leftOut;
  int result = -1;
  if (StartDirectoryWalk(&walk, *platform.walk, plan->currentDirectory)) {
    char walked[kRowTextSize];
    while (result < 0 && TakeWalkDirectory(&walk, *platform.walk, walked, sizeof walked)) {
      result = PlanBlockIn(plan, expansion, platform, walked, 1);
    }
    EndDirectoryWalk(&walk, *platform.walk);
  } else if (plan->currentDirectory[0] == '\0' && NetworkPlanningFolder(platform) != nullptr) {
    result = PlanBlockIn(plan, expansion, platform, NetworkPlanningFolder(platform), 0, 1);
  } else {
    result = PlanBlockIn(plan, expansion, platform, plan->currentDirectory, 0);
  }
  plan->walkAborted = walk.aborted;
  return result;
}

// The search over the files of one block of given files: their names
// (each ended by a zero byte) in order, whatever the pattern.
struct GivenSearch {
  const char* begin;
  const char* end;
  const SearchSource* system;  // answers whether a path exists
  const char* next;
};

int GivenFindNext(void* self, FoundEntry* entry) {
  GivenSearch* search = static_cast<GivenSearch*>(self);
  if (search->next >= search->end) return 0;
  *entry = FoundEntry{};
  entry->attributes = 0x20;  // a file
  CopyPathText(entry->name, search->next);
  search->next += std::strlen(search->next) + 1;
  return 1;
}

int GivenFindFirst(void* self, const char*, FoundEntry* entry) {
  GivenSearch* search = static_cast<GivenSearch*>(self);
  search->next = search->begin;
  return GivenFindNext(self, entry);
}

void GivenClose(void*) {}

int GivenExists(void* self, const char* path) {
  const SearchSource* system = static_cast<GivenSearch*>(self)->system;
  return system->exists != nullptr && system->exists(system->self, path);
}

// The block of the given files `names` (each ended by a zero byte, `end`
// after the last) in the folder `folder`: the expanded row `row` names each
// of them in that folder with the name part of its file text. Returns -1,
// or the program error that stopped the plan.
int PlanGivenBlock(RunPlan* plan, Expansion* expansion, const PlanPlatform& platform, const char* folder,
                   const char* names, const char* end, int row) {
  SetFolderName(&expansion->folderName, folder, 1);
  ArgumentRows rows = plan->rows;
  char rowText[kRowTextSize];
  CopyPathText(rowText, rows.row[row].fileText);
  RemoveEnclosingQuotes(rowText);
  char text[kJoinedPathSize];
  // A folder whose name cmd would change in a batch line (its '%') cannot
  // be named there: its files are left out, as names found on disk are.
  const int unsafe = plan->mode == kPlanBatch && FindCharDbcs(folder, '%') != nullptr;
  if (unsafe || !JoinPath(text, sizeof text, folder, NameAfterFolder(rowText)) ||
      std::strlen(text) >= kRowTextSize) {
    for (const char* name = names; name < end; name += std::strlen(name) + 1) {
      LeaveOut(&expansion->leftOut, name, unsafe ? kChangedByCmd : kNotMatched);
    }
    return -1;
  }
  CopyPathText(rows.row[row].fileText, text);
  const char* directory = folder;
  char translated[kRowTextSize];
  if (plan->currentDirectory[0] != '\0' &&
      !TranslateTokens(plan->currentDirectory, translated, sizeof translated, 1)) {
    directory = plan->currentDirectory;
  }
  PlanBlock block{};
  CopyPathText(block.folder, directory);
  block.name = expansion->folderName;
  block.first = plan->commands.count;
  if (!AppendBytes(&plan->blocks, &block, sizeof block)) return kErrorNoMemory;
  GivenSearch given = {names, end, platform.search, names};
  const SearchSource source = {GivenFindFirst, GivenFindNext, GivenClose, GivenExists, &given};
  PlanPlatform blockPlatform = platform;
  blockPlatform.search = &source;
  const int result = PlanCommands(plan, expansion, blockPlatform, directory, 0, rows);
  Records<PlanBlock>(plan->blocks)[BlockCount(*plan) - 1].count = plan->commands.count - block.first;
  return result;
}

// The folder part of the full path `path` into `out` (kRowTextSize bytes).
void FolderOf(const char* path, char* out) {
  CopyPathText(out, path);
  CutToDirectory(out);
}

// The expanded row for files given, with its pattern: a file text without
// a folder counts too, since the files bring theirs.
int GivenRow(const ArgumentRows& rows, char* pattern) {
  char fileTexts[kArgumentRowCount][kRowTextSize];
  for (int i = 0; i < kArgumentRowCount; ++i) CopyPathText(fileTexts[i], rows.row[i].fileText);
  return ChooseExpandedRow(fileTexts, "C:\\", pattern, nullptr);
}

// The blocks of the files given: a direct plan keeps their order, one block
// per run of files in one folder; a batch plan has one block per folder, in
// the order first met, its files in the order given.
int PlanGivenBlocks(RunPlan* plan, Expansion* expansion, const PlanPlatform& platform) {
  char pattern[kRowTextSize];
  const int row = GivenRow(plan->rows, pattern);
  if (row == kNoExpandedRow) {
    plan->noExpandedRow = 1;
    return -1;
  }
  CopyPathText(plan->commands.pattern, pattern);
  GivenMatches matches{};
  if (!CollectGivenMatches(*platform.given, NameAfterFolder(pattern), *platform.search, &expansion->leftOut,
                           &matches)) {
    FreeGivenMatches(&matches);
    return kErrorNoMemory;
  }
  ByteBuffer taken;  // one byte per match: 1 once it is in a block
  int result = ExtendBuffer(&taken, static_cast<std::size_t>(matches.count) + 1) != nullptr ? -1 : kErrorNoMemory;
  if (result < 0) std::memset(taken.data, 0, taken.size);
  int index = 0;
  for (const char* path = matches.count > 0 ? matches.paths.data : nullptr; path != nullptr && result < 0;
       path = NextGivenMatch(matches, path), ++index) {
    if (taken.data[index]) continue;
    char folder[kRowTextSize];
    FolderOf(path, folder);
    ByteBuffer names;
    int other = index;
    for (const char* next = path; next != nullptr; next = NextGivenMatch(matches, next), ++other) {
      char nextFolder[kRowTextSize];
      FolderOf(next, nextFolder);
      const int same = std::strcmp(folder, nextFolder) == 0;
      if (!same && plan->mode == kPlanDirect) break;
      if (!same || taken.data[other]) continue;
      taken.data[other] = 1;
      const char* name = NameAfterFolder(next);
      AppendBytes(&names, name, std::strlen(name) + 1);
    }
    result = names.failed ? kErrorNoMemory
                          : PlanGivenBlock(plan, expansion, platform, folder, names.data, names.data + names.size, row);
    FreeByteBuffer(&names);
  }
  if (plan->mode == kPlanDirect && BlockCount(*plan) > 0) {
    CopyPathText(plan->commands.directory, BlockAt(*plan, 0).folder);
  }
  plan->commands.expanded = 1;
  FreeByteBuffer(&taken);
  FreeGivenMatches(&matches);
  return result;
}

// The one block of a direct plan, in the typed current directory or, for
// none, in the planning folder. A current directory with a wildcard needs a
// batch file.
int PlanDirectBlock(RunPlan* plan, Expansion* expansion, const PlanPlatform& platform) {
  char translated[kRowTextSize];
  if (TranslateTokens(plan->currentDirectory, translated, sizeof translated, 1)) {
    return kErrorWildcardDirectory;
  }
  const char* folder = plan->currentDirectory;
  if (folder[0] == '\0' && platform.planningFolder != nullptr) folder = platform.planningFolder;
  CopyPathText(plan->commands.directory, folder);
  // The system takes a folder without quotes.
  RemoveEnclosingQuotes(plan->commands.directory);
  return PlanBlockIn(plan, expansion, platform, plan->commands.directory, 0);
}

// The program as a batch line writes it into plan->lineProgram.
void MakeLineProgram(RunPlan* plan, const SearchSource* search) {
  CopyPathText(plan->lineProgram, plan->programText);
  char bare[kRowTextSize];
  CopyPathText(bare, plan->programText);
  const std::size_t quote = plan->programText[0] == '"' ? 1 : 0;
  RemoveEnclosingQuotes(bare);
  const std::size_t onDisk = search != nullptr ? PercentPrefixOnDisk(*search, "", bare) : 0;
  char doubled[kRowTextSize];
  std::size_t length = 0;
  for (std::size_t i = 0; plan->programText[i] != '\0'; ++i) {
    const char c = plan->programText[i];
    if (length + 2 >= sizeof doubled) return;  // as typed
    doubled[length++] = c;
    // A trail byte is never '%'.
    if (c == '%' && i >= quote && i - quote < onDisk) doubled[length++] = '%';
  }
  doubled[length] = '\0';
  CopyPathText(plan->lineProgram, doubled);
}

// The folder where cmd looks for a program named without a folder first:
// the typed current directory, made full from the planning folder, or the
// planning folder itself when it is empty or holds a wildcard.
void LookupFolder(const RunPlan& plan, const PlanPlatform& platform, char* out) {
  const char* planning = platform.planningFolder != nullptr ? platform.planningFolder : "";
  char typed[kRowTextSize];
  CopyPathText(typed, plan.currentDirectory);
  RemoveEnclosingQuotes(typed);
  char translated[kRowTextSize];
  if (typed[0] == '\0' || TranslateTokens(typed, translated, sizeof translated, 1) ||
      !ResolvePath(planning, typed, out)) {
    CopyPathText(out, planning);
  }
}

}  // namespace

int MakeRunPlan(const ParameterSet& set, int mode, const PlanPlatform& platform, RunPlan* plan) {
  FreeRunPlan(plan);
  plan->mode = mode;
  CopyPathText(plan->programText, set.programText);
  CopyPathText(plan->currentDirectory, set.currentDirectory);
  CutToWholeCharacters(plan->currentDirectory);
  JoinToNetworkFolder(plan, platform);
  plan->rows = set.rows;
  plan->pauseAtEnd = set.pauseAtEnd;

  CommandList* list = &plan->commands;
  MakeDirectProgramText(plan->programText, list->program);
  char found[kRowTextSize];
  char folder[kJoinedPathSize];
  LookupFolder(*plan, platform, folder);
  if (platform.programs != nullptr &&
      FindBatchProgram(*platform.programs, list->program, folder, found, sizeof found)) {
    // cmd would run a batch file for this name: it runs as one in both
    // modes, and the lines name the file found.
    CopyPathText(plan->programText, found);
    CopyPathText(list->program, found);
  }
  list->form = ProgramLineForm(plan->programText, mode == kPlanBatch);
  MakeLineProgram(plan, platform.search);

  Expansion expansion{};
  // The child cmd reads a batch program's path once more, and nothing keeps
  // it from expanding a '%' of it: no command can start such a program.
  plan->programLeftOut = ShapeOfCommand(plan->programText, nullptr).kind == kBatchProgram &&
                         platform.search != nullptr &&
                         PercentPrefixOnDisk(*platform.search, "", list->program) > 0;
  if (plan->programLeftOut) UseNameInForm(&expansion.leftOut, list->program, kCmdBatchLineForm);
  if (platform.given != nullptr) {
    plan->error = PlanGivenBlocks(plan, &expansion, platform);
  } else {
    plan->error = mode == kPlanBatch ? PlanBatchBlocks(plan, &expansion, platform)
                                     : PlanDirectBlock(plan, &expansion, platform);
  }
  plan->leftOut = expansion.leftOut;
  if (!AppendBytes(&list->arguments, "", 1) && plan->error < 0) plan->error = kErrorNoMemory;
  return plan->error;
}

void FreeRunPlan(RunPlan* plan) {
  FreeCommandList(&plan->commands);
  FreeByteBuffer(&plan->lines);
  FreeByteBuffer(&plan->blocks);
  plan->leftOut = LeftOutNames{};
  plan->error = -1;
  plan->walkAborted = 0;
  plan->programLeftOut = 0;
  plan->noExpandedRow = 0;
}

int TakesGivenFiles(const ParameterSet& set) {
  char pattern[kRowTextSize];
  return GivenRow(set.rows, pattern) != kNoExpandedRow;
}

const char* CommandFolder(const RunPlan& plan, int command) {
  for (int block = 0; block < BlockCount(plan); ++block) {
    const PlanBlock& at = BlockAt(plan, block);
    if (command >= at.first && command < at.first + at.count) return at.folder;
  }
  return plan.commands.directory;
}

int BlockCount(const RunPlan& plan) {
  return static_cast<int>(RecordCount<PlanBlock>(plan.blocks));
}

const PlanBlock& BlockAt(const RunPlan& plan, int block) {
  return Records<PlanBlock>(plan.blocks)[block];
}
