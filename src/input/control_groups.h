// The four columns of like controls in the main dialog, within which Ctrl+Tab
// and Ctrl+Shift+Tab move the focus: the path edits (which also take dropped
// files), the switch edits, the space boxes and the browse buttons of the
// argument rows. No system calls here.
#pragma once

// The groups, in the order the key filter tries them.
enum ControlGroup : int {
  kDropGroup = 0,
  kSwitchGroup,
  kSpaceGroup,
  kBrowseGroup,
  kControlGroupCount,
};

// Room for the members of the largest group and the id 0 that ends each list.
inline constexpr int kGroupCapacity = 12;

struct ControlGroupTable {
  int acceptsDroppedFiles;     // 1 for the path edits only
  int ids[kGroupCapacity];     // control ids in focus order, ended by 0
};

extern const ControlGroupTable kControlGroups[kControlGroupCount];

// Number of members of `group`.
int GroupMemberCount(int group);

// Index of the member that receives the focus when member `index` of `group`
// gets Ctrl+Tab (`shiftDown` 0: the next member) or Ctrl+Shift+Tab (the
// previous one); -1 at the end of the group in that direction, where the key
// does nothing.
int FocusMoveTarget(int group, int index, int shiftDown);
