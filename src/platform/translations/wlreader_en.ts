<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="Index">
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message id="Search">
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message id="Bookmarks">
        <source>Bookmarks</source>
        <translation>Bookmarks</translation>
    </message>
    <message id="History">
        <source>History</source>
        <translation>History</translation>
    </message>
    <message id="Back">
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message id="Done">
        <source>Done</source>
        <translation>Done</translation>
    </message>
    <message id="Settings">
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message id="About">
        <source>About</source>
        <translation>About</translation>
    </message>
    <message id="Background">
        <source>Background</source>
        <translation>Background</translation>
    </message>
    <message id="AddBookmark.Title.New">
        <source>New Bookmark</source>
        <translation>New Bookmark</translation>
    </message>
    <message id="AddBookmark.Title.Edit">
        <source>Edit Bookmark</source>
        <translation>Edit Bookmark</translation>
    </message>
    <message id="AddBookmark.Notes">
        <source>Notes</source>
        <translation>Notes</translation>
    </message>
    <message id="MainView.SearchMode.Section.WholeWords">
        <source>Whole Words</source>
        <translation>Whole Words</translation>
    </message>
    <message id="MainView.SearchMode.Section.PartialMatches">
        <source>Partial Matches</source>
        <translation>Partial Matches</translation>
    </message>
    <message id="MainView.SearchMode.Section.DidYouMean">
        <source>Did you mean</source>
        <translation>Did you mean</translation>
    </message>
    <message id="about/index.html">
        <source>about/index.html</source>
        <translation>about/index.html</translation>
    </message>
    <message id="Cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="Edit">
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message id="Save">
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message id="Delete">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="AllFiles">
        <source>All files</source>
        <translation>All files</translation>
    </message>
    <message id="Dictionaries">
        <source>Dictionaries</source>
        <translation>Dictionaries</translation>
    </message>
    <message id="Dictionaries.Add">
        <source>Add a Dictionary…</source>
        <translation>Add a Dictionary…</translation>
    </message>
    <message id="Dictionaries.Files">
        <source>Dictionary files</source>
        <translation>Dictionary files</translation>
    </message>
    <message id="Dictionaries.Demo">
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message id="Dictionaries.ForAllUsers">
        <source>For all users</source>
        <translation>For all users</translation>
    </message>
    <message id="Dictionaries.Adding">
        <source>Adding %1</source>
        <translation>Adding %1</translation>
    </message>
    <message id="Dictionaries.Cancelling">
        <source>Cancelling…</source>
        <translation>Cancelling…</translation>
    </message>
    <message id="Dictionaries.Step.Starting">
        <source>Starting…</source>
        <translation>Starting…</translation>
    </message>
    <message id="Dictionaries.Step.Reading">
        <source>Reading the dictionary</source>
        <translation>Reading the dictionary</translation>
    </message>
    <message id="Dictionaries.Step.Sorting">
        <source>Sorting the headwords</source>
        <translation>Sorting the headwords</translation>
    </message>
    <message id="Dictionaries.Step.Media">
        <source>Copying pictures and sounds</source>
        <translation>Copying pictures and sounds</translation>
    </message>
    <message id="Dictionaries.Step.Writing">
        <source>Writing the dictionary</source>
        <translation>Writing the dictionary</translation>
    </message>
    <message id="Dictionaries.Step.Installing">
        <source>Installing</source>
        <translation>Installing</translation>
    </message>
    <message id="Dictionaries.NotAdded">
        <source>The Dictionary Was Not Added</source>
        <translation>The Dictionary Was Not Added</translation>
    </message>
    <message id="Dictionaries.CannotRemove">
        <source>Cannot Be Removed</source>
        <translation>Cannot Be Removed</translation>
    </message>
    <message id="Dictionaries.Fixed.Demo">
        <source>The demo comes with WL Reader and cannot be removed.</source>
        <translation>The demo comes with WL Reader and cannot be removed.</translation>
    </message>
    <message id="Dictionaries.Fixed.ForAllUsers">
        <source>%1 is installed for every user of this computer, in %2; its package or its administrator removes it.</source>
        <translation>%1 is installed for every user of this computer, in %2; its package or its administrator removes it.</translation>
    </message>
    <message id="Dictionaries.Fixed.NotInstalled">
        <source>%1 is not installed but opened where it is, in %2, which is left alone.</source>
        <translation>%1 is not installed but opened where it is, in %2, which is left alone.</translation>
    </message>
    <message id="Dictionaries.NotInstalled">
        <source>Not installed: %1</source>
        <translation>Not installed: %1</translation>
    </message>
    <message id="Dictionaries.IsOpen">
        <source>%1 is open; open another dictionary first.</source>
        <translation>%1 is open; open another dictionary first.</translation>
    </message>
    <message id="Dictionaries.Remove.Title">
        <source>Remove %1?</source>
        <translation>Remove %1?</translation>
    </message>
    <message id="Dictionaries.Remove.Message">
        <source>Its bookmarks and history can be kept for when it is added again.</source>
        <translation>Its bookmarks and history can be kept for when it is added again.</translation>
    </message>
    <message id="Dictionaries.Remove.Keep">
        <source>Remove, Keep Bookmarks</source>
        <translation>Remove, Keep Bookmarks</translation>
    </message>
    <message id="Dictionaries.Remove.Forget">
        <source>Remove All</source>
        <translation>Remove All</translation>
    </message>
    <message id="OK">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="Accessibility.Add">
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message id="Accessibility.AddBookmark">
        <source>Add Bookmark</source>
        <translation>Add Bookmark</translation>
    </message>
    <message id="Accessibility.NormalType">
        <source>Normal Type</source>
        <translation>Normal Type</translation>
    </message>
    <message id="Accessibility.LargeType">
        <source>Large Type</source>
        <translation>Large Type</translation>
    </message>
    <message id="Accessibility.NoResults">
        <source>No results</source>
        <translation>No results</translation>
    </message>
    <message id="Accessibility.BackTo">
        <source>Back to %1</source>
        <translation>Back to %1</translation>
    </message>
    <message id="Accessibility.Tabs">
        <source>Tabs</source>
        <translation>Tabs</translation>
    </message>
    <message id="Accessibility.SectionIndex">
        <source>Section Index</source>
        <translation>Section Index</translation>
    </message>
    <message id="Accessibility.ClearText">
        <source>Clear Text</source>
        <translation>Clear Text</translation>
    </message>
    <message id="Accessibility.Editing">
        <source>Editing</source>
        <translation>Editing</translation>
    </message>
    <message id="Accessibility.DeleteRow">
        <source>Delete %1</source>
        <translation>Delete %1</translation>
    </message>
    <message id="Accessibility.Picture">
        <source>Picture %1</source>
        <translation>Picture %1</translation>
    </message>
    <message id="Accessibility.Results" numerus="yes">
        <source>%n results</source>
        <translation>
            <numerusform>%n result</numerusform>
            <numerusform>%n results</numerusform>
        </translation>
    </message>
</context>
</TS>
