<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>main</name>
    <message>
        <source>Makes batches of random passwords.</source>
        <translation>Erzeugt Stapel zufälliger Passwörter.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <source>Try &apos;--help&apos; for the options.</source>
        <translation>„--help“ zeigt die Optionen.</translation>
    </message>
</context>
<context>
    <name>zentavo::AtLeastCaption</name>
    <message>
        <source>Generate at least 1 character</source>
        <translation>Mindestens 1 Zeichen</translation>
    </message>
    <message>
        <source>Generate at least 1 character from%1</source>
        <extracomment>%1 is the list of groups, each with a blank before it: &quot; a - z, A - Z&quot;.</extracomment>
        <translation>Mindestens 1 Zeichen aus%1</translation>
    </message>
</context>
<context>
    <name>zentavo::CursorFile</name>
    <message>
        <source>The pointer %1 cannot be read: %2</source>
        <translation>Der Mauszeiger %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The pointer %1 is not a cursor file.</source>
        <translation>Der Mauszeiger %1 ist keine Cursordatei.</translation>
    </message>
</context>
<context>
    <name>zentavo::FileSaveDialog</name>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>zentavo::Form1</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>a - z</source>
        <translation>a - z</translation>
    </message>
    <message>
        <source>A - Z</source>
        <translation>A - Z</translation>
    </message>
    <message>
        <source>0 - 9</source>
        <translation>0 - 9</translation>
    </message>
    <message>
        <source> Your specified characters</source>
        <translation> Eigene Zeichen</translation>
    </message>
    <message>
        <source>At Least Option</source>
        <translation>Mindestens-Option</translation>
    </message>
    <message>
        <source>Generate at least 1 character from each character group (listed above)</source>
        <translation>Mindestens 1 Zeichen aus jeder Zeichengruppe (siehe oben)</translation>
    </message>
    <message>
        <source>Additional Options</source>
        <translation>Weitere Optionen</translation>
    </message>
    <message>
        <source>Show line numbers</source>
        <translation>Zeilennummern zeigen</translation>
    </message>
    <message>
        <source>Make last character a digit</source>
        <translation>Ziffer am Ende</translation>
    </message>
    <message>
        <source>Include space character</source>
        <translation>Mit Leerzeichen</translation>
    </message>
    <message>
        <source>Remove vowels</source>
        <translation>Ohne Vokale</translation>
    </message>
    <message>
        <source>How many passwords would you like to generate?</source>
        <translation>Wie viele Passwörter möchten Sie erzeugen?</translation>
    </message>
    <message>
        <source>What length?</source>
        <translation>Welche Länge?</translation>
    </message>
    <message>
        <source>Start Generating</source>
        <translation>Passwörter erzeugen</translation>
    </message>
    <message>
        <source>Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Doppelklicken Sie auf einen Eintrag, um ihn zu entfernen. Ziehen Sie die Linie | nach rechts aus dem Fenster, um volle Namen zu sehen.</translation>
    </message>
    <message>
        <source>Save Results As Text File</source>
        <translation>Als Textdatei speichern</translation>
    </message>
    <message>
        <source>Save Results As Excel File</source>
        <translation>Als Tabelle öffnen</translation>
    </message>
    <message>
        <source>Copy Results To Clipboard</source>
        <translation>In Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Clear Results</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Your own characters</source>
        <translation>Eigene Zeichen</translation>
    </message>
    <message>
        <source>Characters of your own that passwords are drawn from</source>
        <translation>Eigene Zeichen, aus denen Passwörter gezogen werden</translation>
    </message>
    <message>
        <source>Number of passwords</source>
        <translation>Anzahl der Passwörter</translation>
    </message>
    <message>
        <source>How many passwords to make, from 1 to 2147483647</source>
        <translation>Wie viele Passwörter erzeugt werden, von 1 bis 2147483647</translation>
    </message>
    <message>
        <source>Password length</source>
        <translation>Passwortlänge</translation>
    </message>
    <message>
        <source>How many characters each password has, from 1 to 32767</source>
        <translation>Wie viele Zeichen jedes Passwort hat, von 1 bis 32767</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Draw from the lower-case letters</source>
        <translation>Aus den Kleinbuchstaben ziehen</translation>
    </message>
    <message>
        <source>Draw from the upper-case letters</source>
        <translation>Aus den Großbuchstaben ziehen</translation>
    </message>
    <message>
        <source>Draw from the digits</source>
        <translation>Aus den Ziffern ziehen</translation>
    </message>
    <message>
        <source>Your specified characters</source>
        <translation>Eigene Zeichen verwenden</translation>
    </message>
    <message>
        <source>Draw from the characters typed in the field beside it</source>
        <translation>Aus den Zeichen im Feld daneben ziehen</translation>
    </message>
    <message>
        <source>Every password has at least one character of each chosen group</source>
        <translation>Jedes Passwort enthält mindestens ein Zeichen jeder gewählten Gruppe</translation>
    </message>
    <message>
        <source>Number the rows of the results list</source>
        <translation>Die Zeilen der Ergebnisliste nummerieren</translation>
    </message>
    <message>
        <source>The last character of every password is a digit</source>
        <translation>Das letzte Zeichen jedes Passworts ist eine Ziffer</translation>
    </message>
    <message>
        <source>Every password holds one space character</source>
        <translation>Jedes Passwort enthält ein Leerzeichen</translation>
    </message>
    <message>
        <source>Leave out the letters A, E, I, O and U</source>
        <translation>Die Buchstaben A, E, I, O und U weglassen</translation>
    </message>
    <message>
        <source>Results have been copied to the clipboard.<byte value="xd"/><byte value="xd"/>Click a text area where you normally type and press Ctrl+V to paste the clipboard.</source>
        <translation>Die Ergebnisse wurden in die Zwischenablage kopiert.<byte value="xd"/><byte value="xd"/>Klicken Sie in ein Textfeld, in das Sie sonst schreiben, und drücken Sie Strg+V, um sie einzufügen.</translation>
    </message>
    <message>
        <source>Excel is not installed on this computer. You need to have it installed to use this software without error.</source>
        <translation>Auf diesem Computer ist keine Tabellenkalkulation installiert. Ohne sie arbeitet diese Software nicht fehlerfrei.</translation>
    </message>
    <message>
        <source>Excel is not installed on this computer. You need to have it installed to use this feature.</source>
        <translation>Auf diesem Computer ist keine Tabellenkalkulation installiert. Diese Funktion braucht sie.</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Result(s)</source>
        <translation>Ergebnis(se)</translation>
    </message>
    <message>
        <source>The skin %1 cannot be read: %2</source>
        <translation>Die Oberfläche %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Your options cannot be saved in &quot;%1&quot;: %2.

The options you choose still apply until you close Zentavo, but they will not be remembered for its next start.</source>
        <translation>Ihre Einstellungen können nicht in „%1“ gespeichert werden: %2.

Die gewählten Einstellungen gelten, bis Sie Zentavo schließen, werden aber beim nächsten Start nicht mehr bekannt sein.</translation>
    </message>
    <message>
        <source>Zentavo makes at most 2147483647 passwords at a time.</source>
        <translation>Zentavo erzeugt höchstens 2147483647 Passwörter auf einmal.</translation>
    </message>
    <message>
        <source>A password can be at most 32767 characters long.</source>
        <translation>Ein Passwort kann höchstens 32767 Zeichen lang sein.</translation>
    </message>
</context>
<context>
    <name>zentavo::LibreOfficeCalc</name>
    <message>
        <source>No spreadsheet application was found to open %1.</source>
        <translation>Es wurde keine Tabellenkalkulation gefunden, die %1 öffnen kann.</translation>
    </message>
    <message>
        <source>The spreadsheet application %1 could not be started: %2</source>
        <translation>Die Tabellenkalkulation %1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>The spreadsheet application %1 stopped unexpectedly before it opened the workbook.</source>
        <translation>Die Tabellenkalkulation %1 wurde unerwartet beendet, bevor sie die Arbeitsmappe öffnete.</translation>
    </message>
    <message>
        <source>The spreadsheet application %1 ended with exit code %2 before it opened the workbook.</source>
        <translation>Die Tabellenkalkulation %1 endete mit dem Exit-Code %2, bevor sie die Arbeitsmappe öffnete.</translation>
    </message>
</context>
<context>
    <name>zentavo::Splash</name>
    <message>
        <source>Hide this at next startup</source>
        <translation>Beim nächsten Start nicht zeigen</translation>
    </message>
    <message>
        <source>The setting ShowAgain holds &quot;%1&quot;, which is not a number.</source>
        <translation>Die Einstellung ShowAgain enthält „%1“, das ist keine Zahl.</translation>
    </message>
    <message>
        <source>The splash picture %1 cannot be shown: %2</source>
        <translation>Das Startbild %1 kann nicht gezeigt werden: %2</translation>
    </message>
</context>
</TS>
