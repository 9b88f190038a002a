#pragma once
// The roles of the window's image list. The model names them when it fills the views and the
// windows look them up in the image list, so both share this one numbering; the numbers are
// the positions in the list and must stay as they are.

enum TImageRole : int {
    imgNew = 0,
    imgOpen = 1,
    imgSave = 2,
    imgStartMeasure = 3,
    imgVersionCheck = 4,
    imgInfo = 5,
    imgExport = 6,
    imgClose = 7,
    imgDelete = 8,
    imgEdit = 9,
    imgNewEntry = 10,
    imgStopMeasure = 11,
    imgMinimize = 12,
    imgFolderOpen = 13, // a project while it is selected in the tree
    imgFolder = 14,     // a project
    imgEntryPlain = 15,
    imgUnused = 16, // no role; stays empty
    imgSettings = 17,
    imgPrint = 18,
    imgEntryOverlapping = 19, // an entry whose time overlaps another one
    imgCut = 20,
    imgPaste = 21,
    imgImport = 22,
    imgSaveNothing = 23,
    imgSearch = 24,
    imgFilter = 25,
    imgProgram = 26, // appended by the window: the program's own icon
    imgNone = -1,
};

// The images that come with the program; imgProgram follows them.
inline constexpr int ImageRoleCount = 26;
