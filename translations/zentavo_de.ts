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
    <name>zentavo::AccountName</name>
    <message>
        <source>the name holds a control character</source>
        <translation>der Name enthält ein Steuerzeichen</translation>
    </message>
    <message>
        <source>the name holds an invisible format character (%1)</source>
        <translation>der Name enthält ein unsichtbares Formatzeichen (%1)</translation>
    </message>
    <message>
        <source>the name holds a line or paragraph separator (%1)</source>
        <translation>der Name enthält einen Zeilen- oder Absatztrenner (%1)</translation>
    </message>
    <message>
        <source>the name holds a noncharacter (%1)</source>
        <translation>der Name enthält ein Nichtzeichen (%1)</translation>
    </message>
    <message>
        <source>the name is longer than %1 bytes</source>
        <translation>der Name ist länger als %1 Bytes</translation>
    </message>
    <message>
        <source>the name starts or ends with a blank</source>
        <translation>der Name beginnt oder endet mit einem Leerraum</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds a colon, which separates name and password</source>
        <translation>&quot;%1&quot; enthält einen Doppelpunkt, der Name und Passwort trennt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; starts with %2, which makes a spreadsheet take it for a formula: an account name has no reason to start so</source>
        <translation>&quot;%1&quot; beginnt mit %2, womit eine Tabellenkalkulation es für eine Formel hält: ein Kontoname hat keinen Grund, so zu beginnen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is given twice, first on line %2</source>
        <translation>&quot;%1&quot; ist zweimal angegeben, zuerst in Zeile %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is longer than the %2 bytes of a login name</source>
        <translation>&quot;%1&quot; ist länger als die %2 Bytes eines Anmeldenamens</translation>
    </message>
    <message>
        <source>&quot;%1&quot; starts with %2, which useradd refuses in a login name</source>
        <translation>&quot;%1&quot; beginnt mit %2, was useradd in einem Anmeldenamen ablehnt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds &quot;%2&quot;, which a login name cannot hold</source>
        <translation>&quot;%1&quot; enthält &quot;%2&quot;, was ein Anmeldename nicht enthalten kann</translation>
    </message>
    <message>
        <source>&quot;%1&quot; would make the home folder /home/%1</source>
        <translation>&quot;%1&quot; ergäbe den Benutzerordner /home/%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is all digits, which reads as a user ID</source>
        <translation>&quot;%1&quot; besteht nur aus Ziffern und liest sich wie eine Benutzerkennung</translation>
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
    <name>zentavo::ClipboardExport</name>
    <message>
        <source>the clipboard text of %1 rows</source>
        <translation>den Text der Zwischenablage aus %1 Zeilen</translation>
    </message>
    <message>
        <source>The clipboard was left as it was.</source>
        <translation>Die Zwischenablage wurde nicht verändert.</translation>
    </message>
    <message>
        <source>Out of memory: there is no room for the clipboard text. The clipboard was left as it was.</source>
        <translation>Nicht genug Speicher: Für den Text der Zwischenablage ist kein Platz. Die Zwischenablage wurde nicht verändert.</translation>
    </message>
    <message>
        <source>Out of memory: there is no room for the clipboard&apos;s copy of the text. The clipboard is empty now.</source>
        <translation>Nicht genug Speicher: Für die Kopie des Textes in der Zwischenablage ist kein Platz. Die Zwischenablage ist jetzt leer.</translation>
    </message>
</context>
<context>
    <name>zentavo::CupsPrintJobs</name>
    <message>
        <source>The printer %1 did not take the slips: %2</source>
        <translation>Der Drucker %1 hat die Zettel nicht angenommen: %2</translation>
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
    <name>zentavo::ErrorReport</name>
    <message>
        <source>at line %1</source>
        <extracomment>%1 is the line number; the text follows the name of the failed procedure.</extracomment>
        <translation>in Zeile %1</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Bitte senden Sie ein Bildschirmfoto dieser Meldung per E-Mail an %1</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>Not enough memory</source>
        <translation>Nicht genügend Arbeitsspeicher</translation>
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
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Passwords.pdf</source>
        <translation>Passwörter.pdf</translation>
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
        <source>Password length</source>
        <translation>Passwortlänge</translation>
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
        <source>Your stored options in &quot;%1&quot; cannot be used: %2.

Zentavo starts with its default options. The options you choose apply until you close it, but they will not be remembered for its next start.</source>
        <translation>Ihre gespeicherten Einstellungen in „%1“ können nicht verwendet werden: %2.

Zentavo startet mit den Standardeinstellungen. Die gewählten Einstellungen gelten, bis Sie Zentavo schließen, werden aber beim nächsten Start nicht mehr bekannt sein.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>How many passwords to make, from 1 to %1</source>
        <translation>Wie viele Passwörter erzeugt werden, von 1 bis %1</translation>
    </message>
    <message>
        <source>How many characters each password has, from 1 to %1</source>
        <translation>Wie viele Zeichen jedes Passwort hat, von 1 bis %1</translation>
    </message>
    <message>
        <source>Zentavo makes at most %1 passwords at a time.</source>
        <translation>Zentavo erzeugt höchstens %1 Passwörter auf einmal.</translation>
    </message>
    <message>
        <source>A password can be at most %1 characters long.</source>
        <translation>Ein Passwort kann höchstens %1 Zeichen lang sein.</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Print Slips…</source>
        <translation>Zettel drucken…</translation>
    </message>
    <message>
        <source>Save Slips as PDF…</source>
        <translation>Zettel als PDF speichern…</translation>
    </message>
    <message>
        <source>Password slips</source>
        <translation>Passwortzettel</translation>
    </message>
    <message>
        <source>No password is ticked: tick the rows to put on slips.</source>
        <translation>Kein Passwort ist angehakt: Haken Sie die Zeilen an, die auf Zettel sollen.</translation>
    </message>
</context>
<context>
    <name>zentavo::LdifEntries</name>
    <message>
        <source>no DN for the name %1</source>
        <translation>kein DN für den Namen %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no distinguished name (such as ou=people,dc=example,dc=org): %2</source>
        <translation>&quot;%1&quot; ist kein Distinguished Name (wie ou=people,dc=example,dc=org): %2</translation>
    </message>
    <message>
        <source>the base DN is empty: name the entry the accounts go below</source>
        <translation>der Basis-DN ist leer: nennen Sie den Eintrag, unter den die Konten kommen</translation>
    </message>
    <message>
        <source>not enough memory for LDIF</source>
        <translation>nicht genug Speicher für LDIF</translation>
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
    <name>zentavo::MemoryBudget</name>
    <message>
        <source>en</source>
        <extracomment>The locale whose digits and separators the numbers in messages follow: &quot;de&quot; writes 1.000.000 and 1,5.</extracomment>
        <translation>de</translation>
    </message>
    <message>
        <source>about %1 GB</source>
        <translation>etwa %1 GB</translation>
    </message>
    <message>
        <source>less than 1 MB</source>
        <translation>weniger als 1 MB</translation>
    </message>
    <message>
        <source>about %1 MB</source>
        <translation>etwa %1 MB</translation>
    </message>
    <message>
        <source>Out of memory: %1 needs %2; %3 is free.</source>
        <extracomment>%1 is what was to be made (&quot;writing the file&quot;), %2 and %3 are sizes (&quot;about 850 MB&quot;).</extracomment>
        <translation>Nicht genug Speicher für %1 (benötigt: %2, frei: %3).</translation>
    </message>
    <message>
        <source>1 password</source>
        <translation>1 Passwort</translation>
    </message>
    <message>
        <source>%1 passwords</source>
        <translation>%1 Passwörter</translation>
    </message>
    <message>
        <source>of 1 character</source>
        <translation>mit 1 Zeichen</translation>
    </message>
    <message>
        <source>of %1 characters</source>
        <translation>mit %1 Zeichen</translation>
    </message>
    <message>
        <source>Zentavo can make about %1 at a time.</source>
        <translation>Zentavo kann etwa %1 auf einmal erzeugen.</translation>
    </message>
    <message>
        <source>Zentavo cannot make any at the moment.</source>
        <translation>Zentavo kann im Moment keine erzeugen.</translation>
    </message>
    <message>
        <source>%1 %2 needs %3; %4 is free. %5</source>
        <extracomment>%1 &quot;1 password&quot;, %2 &quot;of 6 characters&quot;, %3 and %4 sizes (&quot;about 850 MB&quot;), %5 what can be made instead.</extracomment>
        <translation>%1 %2 braucht %3; frei ist %4. %5</translation>
    </message>
    <message>
        <source>%1 %2 need %3; %4 is free. %5</source>
        <translation>%1 %2 brauchen %3; frei ist %4. %5</translation>
    </message>
</context>
<context>
    <name>zentavo::Numbers</name>
    <message>
        <source>&quot;%1&quot; is not a number.</source>
        <translation>„%1“ ist keine Zahl.</translation>
    </message>
    <message>
        <source>%1 is out of range: the number must lie between %2 and %3.</source>
        <translation>%1 liegt außerhalb des Bereichs: Die Zahl muss zwischen %2 und %3 liegen.</translation>
    </message>
</context>
<context>
    <name>zentavo::PaddedText</name>
    <message>
        <source>The rows could not wait for their column widths in %1: %2</source>
        <translation>Die Zeilen konnten in %1 nicht auf die Breite ihrer Spalten warten: %2</translation>
    </message>
</context>
<context>
    <name>zentavo::PasswordGenerator</name>
    <message>
        <source>Out of memory: there is no room for more passwords. The run stopped here; the passwords made so far stay in the list.</source>
        <translation>Nicht genug Speicher: Für weitere Passwörter ist kein Platz. Die Erzeugung endet hier; die bisher erzeugten Passwörter bleiben in der Liste.</translation>
    </message>
    <message>
        <source>Length must be greater or equal to the number of checked items.</source>
        <translation>Die Länge muss mindestens so groß sein wie die Anzahl der angekreuzten Zeichengruppen.</translation>
    </message>
    <message>
        <source>Division by zero: the number of passwords is now 0.</source>
        <translation>Division durch null: Die Anzahl der Passwörter ist jetzt 0.</translation>
    </message>
    <message>
        <source>The password is empty: it has no last character to make a digit.</source>
        <translation>Das Passwort ist leer: Es hat kein letztes Zeichen, das zur Ziffer werden kann.</translation>
    </message>
    <message>
        <source>The password is empty: it has no character to make a space.</source>
        <translation>Das Passwort ist leer: Es hat kein Zeichen, das zum Leerzeichen werden kann.</translation>
    </message>
</context>
<context>
    <name>zentavo::ResultsList</name>
    <message>
        <source>The list has no column %1.</source>
        <translation>Die Liste hat keine Spalte %1.</translation>
    </message>
    <message>
        <source>Row %1 of the list no longer exists.</source>
        <translation>Zeile %1 der Liste gibt es nicht mehr.</translation>
    </message>
    <message>
        <source>The passwords are too long to be kept in the list.</source>
        <translation>Die Passwörter sind zu lang für die Liste.</translation>
    </message>
</context>
<context>
    <name>zentavo::SafeDestination</name>
    <message>
        <source>other users can change the folder it is in</source>
        <translation>andere Benutzer können den Ordner ändern, in dem die Datei liegt</translation>
    </message>
    <message>
        <source>it is a link made by another user</source>
        <translation>das ist eine Verknüpfung eines anderen Benutzers</translation>
    </message>
    <message>
        <source>it is a link to a file that does not exist</source>
        <translation>das ist eine Verknüpfung auf eine Datei, die es nicht gibt</translation>
    </message>
    <message>
        <source>it is a link to another link</source>
        <translation>das ist eine Verknüpfung auf eine weitere Verknüpfung</translation>
    </message>
    <message>
        <source>it is a link to something that is not a file</source>
        <translation>das ist eine Verknüpfung auf etwas, das keine Datei ist</translation>
    </message>
    <message>
        <source>it is a link to a file of another user</source>
        <translation>das ist eine Verknüpfung auf eine Datei eines anderen Benutzers</translation>
    </message>
    <message>
        <source>it is a link into a folder other users can change</source>
        <translation>das ist eine Verknüpfung in einen Ordner, den andere Benutzer ändern können</translation>
    </message>
    <message>
        <source>the file belongs to another user</source>
        <translation>die Datei gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>das ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>the file system leaves the file open to other users (mode %1)</source>
        <translation>das Dateisystem lässt die Datei für andere Benutzer offen (Modus %1)</translation>
    </message>
    <message>
        <source>once moved into place, the name led to another file: something replaced it meanwhile</source>
        <translation>nach dem Verschieben an ihren Platz führte der Name zu einer anderen Datei: etwas hat sie inzwischen ersetzt</translation>
    </message>
</context>
<context>
    <name>zentavo::SettingsStore</name>
    <message>
        <source>it is a named pipe (FIFO), not a file</source>
        <translation>das ist eine benannte Pipe (FIFO), keine Datei</translation>
    </message>
    <message>
        <source>it is a device, not a file</source>
        <translation>das ist ein Gerät, keine Datei</translation>
    </message>
    <message>
        <source>it is a socket, not a file</source>
        <translation>das ist ein Socket, keine Datei</translation>
    </message>
    <message>
        <source>it is not a file</source>
        <translation>das ist keine Datei</translation>
    </message>
    <message>
        <source>it could not be checked: %1</source>
        <translation>die Datei konnte nicht geprüft werden: %1</translation>
    </message>
    <message>
        <source>it cannot be read as settings, and could not be set aside as %1: %2</source>
        <translation>die Datei lässt sich nicht als Einstellungen lesen und konnte nicht als %1 beiseitegelegt werden: %2</translation>
    </message>
    <message>
        <source>a folder of that name is in the way</source>
        <translation>ein Ordner dieses Namens ist im Weg</translation>
    </message>
    <message>
        <source>%1 is a file, not a folder</source>
        <translation>%1 ist eine Datei, kein Ordner</translation>
    </message>
    <message>
        <source>the disk may be full or the file may be read-only</source>
        <translation>vielleicht ist der Datenträger voll oder die Datei schreibgeschützt</translation>
    </message>
    <message>
        <source>the options are only read here</source>
        <translation>die Optionen werden hier nur gelesen</translation>
    </message>
    <message>
        <source>it is a folder, not a file</source>
        <translation>das ist ein Ordner, keine Datei</translation>
    </message>
</context>
<context>
    <name>zentavo::SlipSheet</name>
    <message>
        <source>no installed font shows %1 of the note</source>
        <translation>keine installierte Schrift zeigt %1 aus der Notiz</translation>
    </message>
    <message>
        <source>the note does not fit on a slip: it takes %1 lines, a slip has room for %2</source>
        <translation>die Notiz passt nicht auf einen Zettel: Sie braucht %1 Zeilen, ein Zettel hat Platz für %2</translation>
    </message>
    <message>
        <source>the slips could not be laid out: %1</source>
        <translation>die Zettel konnten nicht gesetzt werden: %1</translation>
    </message>
    <message>
        <source>%1 stands for a space in a password. Cut along the dashed lines.</source>
        <translation>%1 steht für ein Leerzeichen im Passwort. Entlang der gestrichelten Linien schneiden.</translation>
    </message>
    <message>
        <source>no installed font shows %1 of the name &quot;%2&quot;</source>
        <translation>keine installierte Schrift zeigt %1 aus dem Namen „%2“</translation>
    </message>
    <message>
        <source>the password of &quot;%1&quot; is too long for a slip</source>
        <translation>das Passwort für „%1“ ist zu lang für einen Zettel</translation>
    </message>
    <message>
        <source>no installed font shows every character of a password</source>
        <translation>keine installierte Schrift zeigt jedes Zeichen eines Passworts</translation>
    </message>
    <message>
        <source>the password is too long for a QR code on a slip</source>
        <translation>das Passwort ist zu lang für einen QR-Code auf einem Zettel</translation>
    </message>
    <message>
        <source>an empty list</source>
        <translation>eine leere Liste</translation>
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
<context>
    <name>zentavo::Strength</name>
    <message>
        <source>poor</source>
        <translation>mangelhaft</translation>
    </message>
    <message>
        <source>weak</source>
        <translation>schwach</translation>
    </message>
    <message>
        <source>good</source>
        <translation>gut</translation>
    </message>
    <message>
        <source>excellent</source>
        <translation>ausgezeichnet</translation>
    </message>
    <message>
        <source>About %1 bits per password: %2</source>
        <translation>Etwa %1 Bit pro Passwort: %2</translation>
    </message>
</context>
<context>
    <name>zentavo::SystemPrintDialog</name>
    <message>
        <source>No printer is set up on this computer.</source>
        <translation>Auf diesem Computer ist kein Drucker eingerichtet.</translation>
    </message>
</context>
<context>
    <name>zentavo::TextFileExport</name>
    <message>
        <source>writing the file</source>
        <translation>das Schreiben der Datei</translation>
    </message>
    <message>
        <source>Writing file: %1</source>
        <translation>Datei wird geschrieben: %1</translation>
    </message>
    <message>
        <source>%1 was not written: %2.</source>
        <translation>%1 wurde nicht geschrieben: %2.</translation>
    </message>
    <message>
        <source>%1 could not be created: %2</source>
        <translation>%1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Out of memory: there is no room left to write the file.</source>
        <translation>Nicht genug Speicher: Zum Schreiben der Datei ist kein Platz mehr.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>%1 could not be saved: %2</source>
        <translation>%1 konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Writing to %1 failed: %2</source>
        <translation>Das Schreiben in %1 ist fehlgeschlagen: %2</translation>
    </message>
</context>
<context>
    <name>zentavo::Validation</name>
    <message>
        <source>Must be numeric entry.</source>
        <translation>Die Eingabe muss eine Zahl sein.</translation>
    </message>
    <message>
        <source>Must be greater than 0.</source>
        <translation>Die Zahl muss größer als 0 sein.</translation>
    </message>
</context>
<context>
    <name>zentavo::Workbook</name>
    <message>
        <source>The workbook %1 could not be started.</source>
        <translation>Die Arbeitsmappe %1 konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The workbook was already saved.</source>
        <translation>Die Arbeitsmappe wurde bereits gespeichert.</translation>
    </message>
    <message>
        <source>A sheet has no cell at row %1, column %2.</source>
        <translation>Ein Tabellenblatt hat keine Zelle in Zeile %1, Spalte %2.</translation>
    </message>
    <message>
        <source>Cell %1 of row %2 could not be written</source>
        <translation>Zelle %1 der Zeile %2 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Column %1 could not be fitted</source>
        <translation>Die Breite der Spalte %1 konnte nicht angepasst werden</translation>
    </message>
    <message>
        <source>The workbook %1 could not be saved</source>
        <translation>Die Arbeitsmappe %1 konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>The list has %L1 rows, but a sheet holds only %L2 with its &quot;Results&quot; row: the workbook shows the first %L3.</source>
        <extracomment>&quot;Results&quot; is the title the sheet&apos;s first cell holds; the workbook keeps it in every language.</extracomment>
        <translation>Die Liste hat %L1 Zeilen, ein Tabellenblatt fasst mit seiner Zeile „Results“ aber nur %L2: Die Arbeitsmappe zeigt die ersten %L3.</translation>
    </message>
    <message>
        <source>The workbook %1 could not keep its rows in the temporary folder %2</source>
        <translation>Die Arbeitsmappe %1 konnte ihre Zeilen nicht im temporären Ordner %2 ablegen</translation>
    </message>
    <message>
        <source>The workbook %1 could not be saved in the temporary folder %2</source>
        <translation>Die Arbeitsmappe %1 konnte im temporären Ordner %2 nicht gespeichert werden</translation>
    </message>
</context>
<context>
    <name>zentavo::WorkbookFolder</name>
    <message>
        <source>it could not be made: %1</source>
        <translation>er konnte nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>das ist kein Ordner</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>others may enter it</source>
        <translation>andere Benutzer haben Zugriff darauf</translation>
    </message>
    <message>
        <source>it cannot be used</source>
        <translation>er ist nicht verwendbar</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR is not set</source>
        <translation>XDG_RUNTIME_DIR ist nicht gesetzt</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR is %1, but %2</source>
        <translation>XDG_RUNTIME_DIR ist %1, aber %2</translation>
    </message>
    <message>
        <source>There is no private folder for workbooks: %1, and %2 was tried instead, but %3.</source>
        <translation>Es gibt keinen privaten Ordner für Arbeitsmappen: %1, und ersatzweise wurde %2 versucht, aber %3.</translation>
    </message>
    <message>
        <source>The folder %1 could not be created: %2</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>it is in the way</source>
        <translation>etwas anderes ist im Weg</translation>
    </message>
    <message>
        <source>No private folder could be made in %1.</source>
        <translation>In %1 konnte kein privater Ordner angelegt werden.</translation>
    </message>
    <message>
        <source>A file could not be created in %1: %2</source>
        <translation>In %1 konnte keine Datei angelegt werden: %2</translation>
    </message>
</context>
</TS>
