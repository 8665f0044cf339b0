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
</context>
</TS>
