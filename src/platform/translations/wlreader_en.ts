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
