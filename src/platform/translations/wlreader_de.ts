<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="Index">
        <source>Index</source>
        <translation>Register</translation>
    </message>
    <message id="Search">
        <source>Search</source>
        <translation>Suche</translation>
    </message>
    <message id="Bookmarks">
        <source>Bookmarks</source>
        <translation>Lesezeichen</translation>
    </message>
    <message id="History">
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message id="Back">
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message id="Done">
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message id="Settings">
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message id="About">
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message id="Background">
        <source>Background</source>
        <translation>Hintergrund</translation>
    </message>
    <message id="AddBookmark.Title.New">
        <source>New Bookmark</source>
        <translation>Neues Lesezeichen</translation>
    </message>
    <message id="AddBookmark.Title.Edit">
        <source>Edit Bookmark</source>
        <translation>Lesezeichen bearbeiten</translation>
    </message>
    <message id="AddBookmark.Notes">
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message id="MainView.SearchMode.Section.WholeWords">
        <source>Whole Words</source>
        <translation>Ganze Wörter</translation>
    </message>
    <message id="MainView.SearchMode.Section.PartialMatches">
        <source>Partial Matches</source>
        <translation>Teiltreffer</translation>
    </message>
    <message id="MainView.SearchMode.Section.DidYouMean">
        <source>Did you mean</source>
        <translation>Meinten Sie</translation>
    </message>
    <message id="about/index.html">
        <source>about/index.html</source>
        <translation>about/de/index.html</translation>
    </message>
    <message id="Cancel">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="Edit">
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message id="Save">
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
    <message id="Delete">
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
</TS>
