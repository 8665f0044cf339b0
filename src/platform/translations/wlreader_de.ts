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
    <message id="AllFiles">
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message id="Dictionaries">
        <source>Dictionaries</source>
        <translation>Wörterbücher</translation>
    </message>
    <message id="Dictionaries.Add">
        <source>Add a Dictionary…</source>
        <translation>Wörterbuch hinzufügen …</translation>
    </message>
    <message id="Dictionaries.Files">
        <source>Dictionary files</source>
        <translation>Wörterbuchdateien</translation>
    </message>
    <message id="Dictionaries.Demo">
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message id="Dictionaries.ForAllUsers">
        <source>For all users</source>
        <translation>Für alle Benutzer</translation>
    </message>
    <message id="Dictionaries.Adding">
        <source>Adding %1</source>
        <translation>%1 wird hinzugefügt</translation>
    </message>
    <message id="Dictionaries.Cancelling">
        <source>Cancelling…</source>
        <translation>Wird abgebrochen …</translation>
    </message>
    <message id="Dictionaries.Step.Starting">
        <source>Starting…</source>
        <translation>Wird gestartet …</translation>
    </message>
    <message id="Dictionaries.Step.Reading">
        <source>Reading the dictionary</source>
        <translation>Das Wörterbuch wird gelesen</translation>
    </message>
    <message id="Dictionaries.Step.Sorting">
        <source>Sorting the headwords</source>
        <translation>Die Stichwörter werden sortiert</translation>
    </message>
    <message id="Dictionaries.Step.Media">
        <source>Copying pictures and sounds</source>
        <translation>Bilder und Töne werden kopiert</translation>
    </message>
    <message id="Dictionaries.Step.Writing">
        <source>Writing the dictionary</source>
        <translation>Das Wörterbuch wird geschrieben</translation>
    </message>
    <message id="Dictionaries.Step.Installing">
        <source>Installing</source>
        <translation>Wird installiert</translation>
    </message>
    <message id="Dictionaries.NotAdded">
        <source>The Dictionary Was Not Added</source>
        <translation>Das Wörterbuch wurde nicht hinzugefügt</translation>
    </message>
    <message id="Dictionaries.CannotRemove">
        <source>Cannot Be Removed</source>
        <translation>Kann nicht entfernt werden</translation>
    </message>
    <message id="Dictionaries.Fixed.Demo">
        <source>The demo comes with WL Reader and cannot be removed.</source>
        <translation>Die Demo gehört zu WL Reader und kann nicht entfernt werden.</translation>
    </message>
    <message id="Dictionaries.Fixed.ForAllUsers">
        <source>%1 is installed for every user of this computer, in %2; its package or its administrator removes it.</source>
        <translation>%1 ist für alle Benutzer dieses Computers installiert, in %2; sein Paket oder seine Administration entfernt es.</translation>
    </message>
    <message id="Dictionaries.Fixed.NotInstalled">
        <source>%1 is not installed but opened where it is, in %2, which is left alone.</source>
        <translation>%1 ist nicht installiert, sondern dort geöffnet, wo es liegt (%2); dort bleibt es unberührt.</translation>
    </message>
    <message id="Dictionaries.NotInstalled">
        <source>Not installed: %1</source>
        <translation>Nicht installiert: %1</translation>
    </message>
    <message id="Dictionaries.IsOpen">
        <source>%1 is open; open another dictionary first.</source>
        <translation>%1 ist geöffnet; öffnen Sie zuerst ein anderes Wörterbuch.</translation>
    </message>
    <message id="Dictionaries.Remove.Title">
        <source>Remove %1?</source>
        <translation>%1 entfernen?</translation>
    </message>
    <message id="Dictionaries.Remove.Message">
        <source>Its bookmarks and history can be kept for when it is added again.</source>
        <translation>Seine Lesezeichen und sein Verlauf können für ein erneutes Hinzufügen aufbewahrt werden.</translation>
    </message>
    <message id="Dictionaries.Remove.Keep">
        <source>Remove, Keep Bookmarks</source>
        <translation>Entfernen, Lesezeichen behalten</translation>
    </message>
    <message id="Dictionaries.Remove.Forget">
        <source>Remove All</source>
        <translation>Alles entfernen</translation>
    </message>
    <message id="OK">
        <source>OK</source>
        <translation>OK</translation>
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
