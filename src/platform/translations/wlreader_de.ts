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
    <message id="Accessibility.Add">
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message id="Accessibility.AddBookmark">
        <source>Add Bookmark</source>
        <translation>Lesezeichen hinzufügen</translation>
    </message>
    <message id="Accessibility.NormalType">
        <source>Normal Type</source>
        <translation>Normale Schrift</translation>
    </message>
    <message id="Accessibility.LargeType">
        <source>Large Type</source>
        <translation>Große Schrift</translation>
    </message>
    <message id="Accessibility.NoResults">
        <source>No results</source>
        <translation>Keine Treffer</translation>
    </message>
    <message id="Accessibility.BackTo">
        <source>Back to %1</source>
        <translation>Zurück zu %1</translation>
    </message>
    <message id="Accessibility.Tabs">
        <source>Tabs</source>
        <translation>Tabs</translation>
    </message>
    <message id="Accessibility.SectionIndex">
        <source>Section Index</source>
        <translation>Abschnittsindex</translation>
    </message>
    <message id="Accessibility.ClearText">
        <source>Clear Text</source>
        <translation>Text löschen</translation>
    </message>
    <message id="Accessibility.Editing">
        <source>Editing</source>
        <translation>Bearbeiten</translation>
    </message>
    <message id="Accessibility.DeleteRow">
        <source>Delete %1</source>
        <translation>%1 löschen</translation>
    </message>
    <message id="Accessibility.Picture">
        <source>Picture %1</source>
        <translation>Bild %1</translation>
    </message>
    <message id="Accessibility.Results" numerus="yes">
        <source>%n results</source>
        <translation>
            <numerusform>%n Treffer</numerusform>
            <numerusform>%n Treffer</numerusform>
        </translation>
    </message>
</context>
</TS>
