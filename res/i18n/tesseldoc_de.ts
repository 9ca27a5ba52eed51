<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AppTexts</name>
    <message>
        <source>Another Instance of Tesseldoc is running.</source>
        <translation>Tesseldoc läuft bereits.</translation>
    </message>
    <message>
        <source>Unable to locate Lotus notes, please install lotusnotes on this computer</source>
        <translation>Lotus Notes wurde nicht gefunden. Bitte installieren Sie Lotus Notes auf diesem Computer.</translation>
    </message>
    <message>
        <source>Please stop the current saving process and then exit.</source>
        <translation>Bitte beenden Sie zuerst das laufende Speichern.</translation>
    </message>
    <message>
        <source>Are you sure , you want to close the application?</source>
        <translation>Möchten Sie das Programm wirklich schließen?</translation>
    </message>
    <message>
        <source>Tesseldoc.html file not exist, please reinstall software </source>
        <translation>Die Datei Tesseldoc.html fehlt. Bitte installieren Sie das Programm neu. </translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Add File(s)</source>
        <translation>D&amp;atei(en) hinzufügen</translation>
    </message>
    <message>
        <source>Add &amp;Domino File(s)</source>
        <translation>&amp;Domino-Datei(en) hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Advance Settings</source>
        <translation>Erweiterte Einstellungen</translation>
    </message>
    <message>
        <source>Software home page</source>
        <translation>Homepage des Programms</translation>
    </message>
    <message>
        <source>&amp;About Tesseldoc</source>
        <translation>Ü&amp;ber Tesseldoc</translation>
    </message>
    <message>
        <source>Add File(s)
&amp;Add File(s)</source>
        <translation>Datei(en) hinzufügen
D&amp;atei(en) hinzufügen</translation>
    </message>
    <message>
        <source>Add Domino File(s)
Add &amp;Domino File(s)</source>
        <translation>Domino-Datei(en) hinzufügen
&amp;Domino-Datei(en) hinzufügen</translation>
    </message>
    <message>
        <source>Export
&amp;Export</source>
        <translation>Exportieren
&amp;Exportieren</translation>
    </message>
    <message>
        <source>Quit the application</source>
        <translation>Das Programm beenden</translation>
    </message>
    <message>
        <source>Click to open software help
&amp;Help</source>
        <translation>Öffnet die Hilfe des Programms
&amp;Hilfe</translation>
    </message>
    <message>
        <source>Click to visit software homepage</source>
        <translation>Öffnet die Homepage des Programms</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright</source>
        <translation>Zeigt Programminformationen, Versionsnummer und Copyright</translation>
    </message>
    <message>
        <source>Step 1</source>
        <translation>Schritt 1</translation>
    </message>
    <message>
        <source>Step 2</source>
        <translation>Schritt 2</translation>
    </message>
    <message>
        <source>Step 3</source>
        <translation>Schritt 3</translation>
    </message>
    <message>
        <source>Please select NSF file(s) or Domino file(s) to convert </source>
        <translation>Bitte wählen Sie die NSF- oder Domino-Datei(en) zum Konvertieren </translation>
    </message>
    <message>
        <source>Preview Item(s) of NSF database (in case of single NSF file selection only)</source>
        <translation>Vorschau der Elemente (nur bei einer einzelnen NSF-Datei)</translation>
    </message>
    <message>
        <source>Select Destination &amp; Saving mode</source>
        <translation>Ziel und Speichermodus wählen</translation>
    </message>
    <message>
        <source>Folder Selection</source>
        <translation>Ordnerauswahl</translation>
    </message>
    <message>
        <source>Saving Progress</source>
        <translation>Speicherfortschritt</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vorschau</translation>
    </message>
</context>
<context>
    <name>CAdvanceSettingsDlg</name>
    <message>
        <source>Documents are written by this many writers side by side (office instances, or threads of the native engine)</source>
        <translation>So viele Schreibvorgänge erstellen die Dokumente parallel (Office-Instanzen oder Threads der integrierten Engine)</translation>
    </message>
    <message>
        <source>Native (no office needed)</source>
        <translation>Integriert (kein Office nötig)</translation>
    </message>
    <message>
        <source>Office (LibreOffice)</source>
        <translation>Office (LibreOffice)</translation>
    </message>
    <message>
        <source>The native engine writes .doc and .docx itself; an item it cannot represent, and PDF documents, are written by the office</source>
        <translation>Die integrierte Engine schreibt .doc und .docx selbst; Elemente, die sie nicht darstellen kann, und PDF-Dokumente schreibt das Office</translation>
    </message>
    <message>
        <source>Engine:</source>
        <translation>Engine:</translation>
    </message>
    <message>
        <source>Writers side by side:</source>
        <translation>Parallele Schreibvorgänge:</translation>
    </message>
</context>
<context>
    <name>DominoBrowserTexts</name>
    <message>
        <source>Domino Server File Selection</source>
        <translation>Dateiauswahl auf dem Domino-Server</translation>
    </message>
    <message>
        <source>Add Domino Server</source>
        <translation>Domino-Server hinzufügen</translation>
    </message>
    <message>
        <source>Search Domino Server</source>
        <translation>Domino-Server suchen</translation>
    </message>
    <message>
        <source>Domino Server Name(s)</source>
        <translation>Domino-Servername(n)</translation>
    </message>
    <message>
        <source>Domino Server NSF File(s)</source>
        <translation>NSF-Datei(en) des Domino-Servers</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Unselect All</source>
        <translation>Alle abwählen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Step 1: Find or Add the Domino Server Name , Then select the Domino Server Name from the list</source>
        <translation>Schritt 1: Suchen oder fügen Sie den Domino-Server hinzu und wählen Sie ihn dann in der Liste aus</translation>
    </message>
    <message>
        <source>Step 2: Select the nsf files belonging to the selected Domino Server and click Add button</source>
        <translation>Schritt 2: Wählen Sie die NSF-Dateien des ausgewählten Domino-Servers und klicken Sie auf Hinzufügen</translation>
    </message>
    <message>
        <source>Please provide domino server name or IP address.</source>
        <translation>Bitte geben Sie den Namen oder die IP-Adresse des Domino-Servers ein.</translation>
    </message>
    <message>
        <source>Please enter valid domino server name</source>
        <translation>Bitte geben Sie einen gültigen Domino-Servernamen ein</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Type the server&apos;s host name or IP address, optionally with a port (host:port), or its address (https://host:port).</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Geben Sie den Hostnamen oder die IP-Adresse des Servers ein, wahlweise mit Port (host:port), oder seine Adresse (https://host:port).</translation>
    </message>
    <message>
        <source> Domino Server already exist in the list</source>
        <translation> – dieser Domino-Server ist bereits in der Liste</translation>
    </message>
    <message>
        <source>The enumeration of server information can take several minutes<byte value="xd"/>
<byte value="xd"/>
Do you want to enumerate the server now?</source>
        <translation>Das Auflisten der Serverinformationen kann einige Minuten dauern.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie den Server jetzt auflisten?</translation>
    </message>
    <message>
        <source>Please wait enumerating server</source>
        <translation>Bitte warten, der Server wird aufgelistet</translation>
    </message>
    <message>
        <source>Please wait while finding NSF file in server</source>
        <translation>Bitte warten, NSF-Dateien auf dem Server werden gesucht</translation>
    </message>
    <message>
        <source>There are No Domino Server NSF file(s) in the list.</source>
        <translation>Die Liste enthält keine NSF-Dateien eines Domino-Servers.</translation>
    </message>
    <message>
        <source>Please select file from the list</source>
        <translation>Bitte wählen Sie eine Datei aus der Liste</translation>
    </message>
    <message>
        <source>Selected File(s) are added, If you want to select file(s) from other Domino Server then click on that Domino Server Name in the list or click on Finish button to proceed with the Migration process</source>
        <translation>Die ausgewählten Dateien wurden hinzugefügt. Um Dateien eines anderen Domino-Servers zu wählen, klicken Sie auf dessen Namen in der Liste, oder klicken Sie auf Fertig, um mit der Konvertierung fortzufahren</translation>
    </message>
    <message>
        <source>Are you sure you want to stop current process ?</source>
        <translation>Möchten Sie den laufenden Vorgang wirklich stoppen?</translation>
    </message>
    <message>
        <source>Please wait while serching finish</source>
        <translation>Bitte warten, bis die Suche beendet ist</translation>
    </message>
    <message>
        <source>These databases cannot be read and were left out:</source>
        <translation>Diese Datenbanken können nicht gelesen werden und wurden ausgelassen:</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... und %1 weitere</translation>
    </message>
    <message>
        <source>Sign in to Domino Server</source>
        <translation>Am Domino-Server anmelden</translation>
    </message>
    <message>
        <source>The Domino server &lt;b&gt;%1&lt;/b&gt; (%2) asks for a name and password.</source>
        <translation>Der Domino-Server &lt;b&gt;%1&lt;/b&gt; (%2) verlangt einen Namen und ein Passwort.</translation>
    </message>
    <message>
        <source>The server refused the name and password given last. Please check them.</source>
        <translation>Der Server hat den zuletzt angegebenen Namen und das Passwort abgelehnt. Bitte prüfen Sie sie.</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>&amp;Remember the password in the desktop&apos;s keyring</source>
        <translation>Passwort im Schlüsselbund des Desktops &amp;merken</translation>
    </message>
    <message>
        <source>No keyring answers on this desktop: the password is kept until the program ends.</source>
        <translation>Auf diesem Desktop antwortet kein Schlüsselbund: Das Passwort wird bis zum Programmende behalten.</translation>
    </message>
    <message>
        <source>The certificate of the Domino server %1 (%2) is not trusted: %3.</source>
        <translation>Dem Zertifikat des Domino-Servers %1 (%2) wird nicht vertraut: %3.</translation>
    </message>
    <message>
        <source>The server&apos;s certificate is issued to %1 by this authority:</source>
        <translation>Das Zertifikat des Servers wurde von dieser Zertifizierungsstelle für %1 ausgestellt:</translation>
    </message>
    <message>
        <source>Issued to: %1<byte value="xd"/>
Issued by: %2<byte value="xd"/>
Valid from %3 to %4<byte value="xd"/>
SHA-256 fingerprint:<byte value="xd"/>
%5</source>
        <translation>Ausgestellt für: %1<byte value="xd"/>
Ausgestellt von: %2<byte value="xd"/>
Gültig von %3 bis %4<byte value="xd"/>
SHA-256-Fingerabdruck:<byte value="xd"/>
%5</translation>
    </message>
    <message>
        <source>Compare the fingerprint with the one your administrator gives. Trust this certificate for %1 from now on?</source>
        <translation>Vergleichen Sie den Fingerabdruck mit dem, den Ihnen Ihr Administrator nennt. Soll diesem Zertifikat für %1 ab jetzt vertraut werden?</translation>
    </message>
    <message>
        <source>The certificate of the Domino server %1 (%2) is refused: %3.</source>
        <translation>Das Zertifikat des Domino-Servers %1 (%2) wird abgelehnt: %3.</translation>
    </message>
    <message>
        <source>Reach the server under a name its certificate gives (%1).</source>
        <translation>Verbinden Sie sich mit dem Server unter einem Namen, den sein Zertifikat nennt (%1).</translation>
    </message>
    <message>
        <source>The certificate could not be kept: %1</source>
        <translation>Das Zertifikat konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>there is no certificate to trust</source>
        <translation>es gibt kein Zertifikat, dem vertraut werden könnte</translation>
    </message>
    <message>
        <source>%1 cannot be made</source>
        <translation>%1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>the settings cannot be written</source>
        <translation>die Einstellungen können nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>FolderTreeTexts</name>
    <message>
        <source>NSF File</source>
        <translation>NSF-Datei</translation>
    </message>
    <message>
        <source>  Click any folder to view Items.</source>
        <translation>  Klicken Sie auf einen Ordner, um seine Elemente zu sehen.</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Size in Bytes</source>
        <translation>Größe in Bytes</translation>
    </message>
    <message>
        <source>Attachment</source>
        <translation>Anhang</translation>
    </message>
    <message>
        <source>&amp;Save Selected</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Sa&amp;ve All</source>
        <translation>&amp;Alle speichern</translation>
    </message>
    <message>
        <source>Save selected item(s) from the list.</source>
        <translation>Speichert die ausgewählten Elemente der Liste.</translation>
    </message>
    <message>
        <source>Save All item(s) of the list.</source>
        <translation>Speichert alle Elemente der Liste.</translation>
    </message>
    <message>
        <source>Please wait while enumerating folders</source>
        <translation>Bitte warten, die Ordner werden aufgelistet</translation>
    </message>
    <message>
        <source>Please select folder(s) from the left pane to export.</source>
        <translation>Bitte wählen Sie links die Ordner zum Exportieren.</translation>
    </message>
    <message>
        <source>LibreOffice instance not found. LibreOffice must be configured on the system to run the export process.</source>
        <translation>LibreOffice wurde nicht gefunden. Für den Export muss LibreOffice auf dem System eingerichtet sein.</translation>
    </message>
    <message>
        <source>No Item(s) selected from left pane to save.</source>
        <translation>Links sind keine Elemente zum Speichern ausgewählt.</translation>
    </message>
    <message>
        <source>Please first select item(s) from list.</source>
        <translation>Bitte wählen Sie zuerst Elemente aus der Liste.</translation>
    </message>
    <message>
        <source>Are you sure you want to stop current process ?</source>
        <translation>Möchten Sie den laufenden Vorgang wirklich stoppen?</translation>
    </message>
    <message>
        <source>Saving Item(s)</source>
        <translation>Elemente werden gespeichert</translation>
    </message>
    <message>
        <source>Please wait while current process is finishes</source>
        <translation>Bitte warten, bis der laufende Vorgang beendet ist</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>Stop current processing.</source>
        <translation>Stoppt den laufenden Vorgang.</translation>
    </message>
    <message>
        <source>Are you sure, you want stop the saving files ?</source>
        <translation>Möchten Sie das Speichern der Dateien wirklich stoppen?</translation>
    </message>
    <message>
        <source>Process aborted by user</source>
        <translation>Vorgang vom Benutzer abgebrochen</translation>
    </message>
    <message>
        <source>Saving Complete</source>
        <translation>Speichern abgeschlossen</translation>
    </message>
    <message>
        <source>Text content of the item is too large to display, It will take some time to display , Are you sure , you want to see preview of this item?</source>
        <translation>Der Text dieses Elements ist sehr groß; die Anzeige dauert eine Weile. Möchten Sie die Vorschau trotzdem sehen?</translation>
    </message>
    <message>
        <source>Don&apos;t show this message again</source>
        <translation>Diese Meldung nicht mehr anzeigen</translation>
    </message>
    <message>
        <source>No Item present in folder please select another folder</source>
        <translation>Dieser Ordner enthält keine Elemente, bitte wählen Sie einen anderen</translation>
    </message>
    <message>
        <source>Please select item to see preview. <byte value="xd"/>
 Item can be Email , Journal , Task , Calendar , To Do list... </source>
        <translation>Bitte wählen Sie ein Element für die Vorschau. <byte value="xd"/>
 Elemente sind E-Mails, Journaleinträge, Aufgaben, Kalendereinträge, To-dos... </translation>
    </message>
    <message>
        <source>Please wait while generating preview...</source>
        <translation>Bitte warten, die Vorschau wird erstellt...</translation>
    </message>
    <message>
        <source>Either User Abort preview or no body present</source>
        <translation>Die Vorschau wurde abgebrochen oder das Element hat keinen Inhalt</translation>
    </message>
    <message>
        <source>Please wait while filling list...</source>
        <translation>Bitte warten, die Liste wird gefüllt...</translation>
    </message>
    <message>
        <source>This database has no folder to show. <byte value="xd"/>
 Its views are listed as folders when Show &quot;View Folders&quot; is ticked in Tools &gt; Advance Settings. Every document is under &quot;All Documents (every document)&quot;.</source>
        <translation>Diese Datenbank hat keinen Ordner zum Anzeigen. <byte value="xd"/>
 Ihre Ansichten werden als Ordner gezeigt, wenn unter Extras &gt; Erweiterte Einstellungen „Ansichtsordner anzeigen“ angekreuzt ist. Jedes Dokument steht unter &quot;All Documents (every document)&quot;.</translation>
    </message>
    <message>
        <source>This database has no folder or view to show. Every document is under &quot;All Documents (every document)&quot;.</source>
        <translation>Diese Datenbank hat weder Ordner noch Ansichten zum Anzeigen. Jedes Dokument steht unter &quot;All Documents (every document)&quot;.</translation>
    </message>
</context>
<context>
    <name>SaveTexts</name>
    <message>
        <source>It is recommended to close all instances of LibreOffice while saving file(s)</source>
        <translation>Es wird empfohlen, während des Speicherns alle LibreOffice-Fenster zu schließen</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Pending</source>
        <translation>Ausstehend</translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation>In Bearbeitung...</translation>
    </message>
    <message>
        <source>Process Completed</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>Saving cancelled by user</source>
        <translation>Speichern vom Benutzer abgebrochen</translation>
    </message>
    <message>
        <source>Fail to save</source>
        <translation>Speichern fehlgeschlagen</translation>
    </message>
    <message>
        <source>Nothing saved</source>
        <translation>Nichts gespeichert</translation>
    </message>
    <message>
        <source>Initializing saving.. please wait...</source>
        <translation>Speichern wird vorbereitet... bitte warten...</translation>
    </message>
    <message>
        <source>Initializing  saving please wait....</source>
        <translation>Speichern wird vorbereitet, bitte warten....</translation>
    </message>
    <message>
        <source>Getting Folders from File : </source>
        <translation>Ordner werden gelesen aus Datei: </translation>
    </message>
    <message>
        <source>Saving Folder %1 of %2 ...</source>
        <translation>Ordner %1 von %2 wird gespeichert ...</translation>
    </message>
    <message>
        <source>Saving Item %1 of %2 ...</source>
        <translation>Element %1 von %2 wird gespeichert ...</translation>
    </message>
    <message>
        <source>Saving Folder </source>
        <translation>Ordner wird gespeichert: </translation>
    </message>
    <message>
        <source>Process aborted by user , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>Vorgang vom Benutzer abgebrochen. Klicken Sie auf Weiter, um eine weitere Datei zu konvertieren, oder auf Beenden, um das Programm zu schließen</translation>
    </message>
    <message>
        <source>Saving Complete , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>Speichern abgeschlossen. Klicken Sie auf Weiter, um eine weitere Datei zu konvertieren, oder auf Beenden, um das Programm zu schließen</translation>
    </message>
    <message>
        <source>LibreOffice is not installed or no profile exist</source>
        <translation>LibreOffice ist nicht installiert oder hat kein Profil</translation>
    </message>
    <message>
        <source>LibreOffice is not installed or no profile exist , <byte value="xd"/>
Click Next button to convert another file or click Exit button to close the software</source>
        <translation>LibreOffice ist nicht installiert oder hat kein Profil. <byte value="xd"/>
Klicken Sie auf Weiter, um eine weitere Datei zu konvertieren, oder auf Beenden, um das Programm zu schließen</translation>
    </message>
    <message>
        <source>Process aborted by user</source>
        <translation>Vorgang vom Benutzer abgebrochen</translation>
    </message>
    <message>
        <source>Saving Complete</source>
        <translation>Speichern abgeschlossen</translation>
    </message>
    <message>
        <source>Saving Complete with Errors</source>
        <translation>Speichern mit Fehlern abgeschlossen</translation>
    </message>
    <message>
        <source>No Document Saved</source>
        <translation>Kein Dokument gespeichert</translation>
    </message>
    <message>
        <source>Saving Complete with errors , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>Speichern mit Fehlern abgeschlossen. Klicken Sie auf Weiter, um eine weitere Datei zu konvertieren, oder auf Beenden, um das Programm zu schließen</translation>
    </message>
    <message>
        <source>No document was saved , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>Es wurde kein Dokument gespeichert. Klicken Sie auf Weiter, um eine weitere Datei zu konvertieren, oder auf Beenden, um das Programm zu schließen</translation>
    </message>
    <message>
        <source>File %1 of %2</source>
        <translation>Datei %1 von %2</translation>
    </message>
    <message>
        <source>&amp;Open Folder</source>
        <translation>Ordner ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open the folder the documents were saved in</source>
        <translation>Öffnet den Ordner, in dem die Dokumente gespeichert wurden</translation>
    </message>
    <message>
        <source>Are you sure you want to stop the saving process ?</source>
        <translation>Möchten Sie das Speichern wirklich stoppen?</translation>
    </message>
    <message>
        <source>Are you sure you want to stop current process ?</source>
        <translation>Möchten Sie den laufenden Vorgang wirklich stoppen?</translation>
    </message>
    <message>
        <source>Please wait while current process finishes</source>
        <translation>Bitte warten, bis der laufende Vorgang beendet ist</translation>
    </message>
    <message>
        <source>Stop current processing.</source>
        <translation>Stoppt den laufenden Vorgang.</translation>
    </message>
    <message>
        <source>Select Destination</source>
        <translation>Ziel wählen</translation>
    </message>
    <message>
        <source>Please select a location to save converted file(s)</source>
        <translation>Bitte wählen Sie den Ort für die konvertierten Dateien</translation>
    </message>
    <message>
        <source>Folder Path :</source>
        <translation>Ordnerpfad:</translation>
    </message>
    <message>
        <source>Select the location to save converted file(s)</source>
        <translation>Ort für die konvertierten Dateien wählen</translation>
    </message>
    <message>
        <source>Select folder path using Browse button.</source>
        <translation>Wählen Sie den Ordnerpfad mit der Schaltfläche Durchsuchen.</translation>
    </message>
    <message>
        <source>Please enter valid folder path.</source>
        <translation>Bitte geben Sie einen gültigen Ordnerpfad ein.</translation>
    </message>
    <message>
        <source>Please select diffrent folder, as folder length is large </source>
        <translation>Bitte wählen Sie einen anderen Ordner, der Pfad ist zu lang </translation>
    </message>
    <message>
        <source>Please select diffrent file, as file name length is large </source>
        <translation>Bitte wählen Sie eine andere Datei, der Dateiname ist zu lang </translation>
    </message>
    <message>
        <source>Folder length is too large , please browse the different location to create folder. </source>
        <translation>Der Ordnerpfad ist zu lang, bitte wählen Sie einen anderen Ort für den Ordner. </translation>
    </message>
    <message>
        <source>Folder Path:</source>
        <translation>Ordnerpfad:</translation>
    </message>
    <message>
        <source>Please provide diffrent path to save, as selected path is too long</source>
        <translation>Bitte geben Sie einen anderen Speicherort an, der gewählte Pfad ist zu lang</translation>
    </message>
    <message>
        <source>Saving Mode Selection</source>
        <translation>Speichermodus wählen</translation>
    </message>
    <message>
        <source>Please select saving mode, RTF format can take more time in saving</source>
        <translation>Bitte wählen Sie den Speichermodus; RTF braucht beim Speichern länger</translation>
    </message>
    <message>
        <source>Save item(s)  in Text format - Fastest Speed</source>
        <translation>Elemente als Text speichern – am schnellsten</translation>
    </message>
    <message>
        <source>Save item(s) in RTF format - Low Quality - Medium Speed</source>
        <translation>Elemente als RTF speichern – einfache Qualität – mittlere Geschwindigkeit</translation>
    </message>
    <message>
        <source>Save item(s) in RTF format - Best Quality - Lowest Speed</source>
        <translation>Elemente als RTF speichern – beste Qualität – am langsamsten</translation>
    </message>
    <message>
        <source>Advance Settings</source>
        <translation>Erweiterte Einstellungen</translation>
    </message>
    <message>
        <source>Document format</source>
        <translation>Dokumentformat</translation>
    </message>
    <message>
        <source>Also embed the attachments in the PDF (PDF/A-3)</source>
        <translation>Anhänge auch in das PDF einbetten (PDF/A-3)</translation>
    </message>
    <message>
        <source>Only items dated</source>
        <translation>Nur Elemente mit Datum</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>To</source>
        <translation>Bis</translation>
    </message>
    <message>
        <source>Show &quot;View Folders&quot;</source>
        <translation>„Ansichtsordner“ anzeigen</translation>
    </message>
    <message>
        <source>Save every document of each file into &quot;All Documents (every document)&quot;</source>
        <translation>Jedes Dokument jeder Datei in &quot;All Documents (every document)&quot; speichern</translation>
    </message>
    <message>
        <source>Save each document once, in the first folder that holds it</source>
        <translation>Jedes Dokument nur einmal speichern, im ersten Ordner, der es enthält</translation>
    </message>
    <message>
        <source>DOC File(s) have been saved at the following location :-</source>
        <translation>Die Dokumente wurden an folgendem Ort gespeichert:</translation>
    </message>
    <message>
        <source>No DOC file has been saved. The output location was :-</source>
        <translation>Es wurde kein Dokument gespeichert. Der Zielort war:</translation>
    </message>
    <message>
        <source>(this folder was not created)</source>
        <translation>(dieser Ordner wurde nicht angelegt)</translation>
    </message>
    <message>
        <source>%1 item(s) produced no document.</source>
        <translation>%1 Element(e) ergaben kein Dokument.</translation>
    </message>
    <message>
        <source>%1 source(s) or folder(s) could not be saved at all.</source>
        <translation>%1 Quelle(n) oder Ordner konnten gar nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Documents written: %1 of %2 item(s).</source>
        <translation>Geschriebene Dokumente: %1 von %2 Element(en).</translation>
    </message>
    <message>
        <source>%1 found, %2 written, %3 failed</source>
        <translation>%1 gefunden, %2 geschrieben, %3 fehlgeschlagen</translation>
    </message>
    <message>
        <source>, %1 not converted</source>
        <translation>, %1 nicht konvertiert</translation>
    </message>
    <message>
        <source>Items: %1.</source>
        <translation>Elemente: %1.</translation>
    </message>
    <message>
        <source>%1 item(s) not converted: the run ended before reaching them.</source>
        <translation>%1 Element(e) nicht konvertiert: Der Lauf endete, bevor sie an der Reihe waren.</translation>
    </message>
    <message>
        <source>%1 item(s) written by the office engine (the native engine cannot represent them): listed by &quot;Show Item(s)...&quot;.</source>
        <translation>%1 Element(e) von der Office-Engine geschrieben (die native Engine kann sie nicht darstellen): aufgeführt unter „Elemente zeigen...“.</translation>
    </message>
    <message>
        <source>Item(s) without a document, and item(s) written by the office engine</source>
        <translation>Elemente ohne Dokument und von der Office-Engine geschriebene Elemente</translation>
    </message>
    <message>
        <source>%1 source(s) not reached.</source>
        <translation>%1 Quelle(n) nicht erreicht.</translation>
    </message>
    <message>
        <source>Outside the date range: %1 item(s) (left out, not failed).</source>
        <translation>Außerhalb des Zeitraums: %1 Element(e) (ausgelassen, nicht fehlgeschlagen).</translation>
    </message>
    <message>
        <source>not reached: the run was stopped</source>
        <translation>nicht erreicht: Der Lauf wurde gestoppt</translation>
    </message>
    <message>
        <source>Stopped early: %1</source>
        <translation>Vorzeitig gestoppt: %1</translation>
    </message>
    <message>
        <source>&amp;Show Item(s)...</source>
        <translation>Elemente &amp;zeigen...</translation>
    </message>
    <message>
        <source>Item(s) without a document</source>
        <translation>Elemente ohne Dokument</translation>
    </message>
    <message>
        <source>Only items dated %1 to %2 are saved (Advance Settings).</source>
        <translation>Nur Elemente vom %1 bis %2 werden gespeichert (Erweiterte Einstellungen).</translation>
    </message>
    <message>
        <source>any date</source>
        <translation>beliebiges Datum</translation>
    </message>
    <message>
        <source>Outside the date range: %1 item(s), not saved.</source>
        <translation>Außerhalb des Zeitraums: %1 Element(e), nicht gespeichert.</translation>
    </message>
    <message>
        <source>Not in a saved folder: %1 document(s). To save them, tick &quot;All Documents (every document)&quot; in Step 2, or turn on &quot;Save every document&quot; in the Advance Settings.</source>
        <translation>In keinem gespeicherten Ordner: %1 Dokument(e). Um sie zu speichern, kreuzen Sie in Schritt 2 &quot;All Documents (every document)&quot; an oder schalten Sie in den Erweiterten Einstellungen „Jedes Dokument speichern“ ein.</translation>
    </message>
    <message>
        <source>%1 of its %2 document(s) are in no saved folder; &quot;All Documents (every document)&quot; saves every document</source>
        <translation>%1 seiner %2 Dokument(e) liegen in keinem gespeicherten Ordner; &quot;All Documents (every document)&quot; speichert jedes Dokument</translation>
    </message>
    <message>
        <source>No view or folder lists a document: every document is saved into &quot;All Documents (every document)&quot;</source>
        <translation>Keine Ansicht und kein Ordner enthält ein Dokument: Jedes Dokument wird in &quot;All Documents (every document)&quot; gespeichert</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.<byte value="xd"/>
<byte value="xd"/>
Do you want to create it?</source>
        <translation>Der Ordner %1 existiert nicht.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie ihn anlegen?</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The folder %1 is read-only: no document can be written into it. Please choose another folder.</source>
        <translation>Der Ordner %1 ist schreibgeschützt: Es kann kein Dokument hineingeschrieben werden. Bitte wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>%1 is a file</source>
        <translation>%1 ist eine Datei</translation>
    </message>
    <message>
        <source>%1 is read-only</source>
        <translation>%1 ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the folder could not be made under %1</source>
        <translation>der Ordner konnte unter %1 nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>SourceTexts</name>
    <message>
        <source>File Path</source>
        <translation>Dateipfad</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>&amp;Add File(s)</source>
        <translation>D&amp;atei(en) hinzufügen</translation>
    </message>
    <message>
        <source>Add &amp;Domino File(s)</source>
        <translation>&amp;Domino-Datei(en) hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove File</source>
        <translation>Datei &amp;entfernen</translation>
    </message>
    <message>
        <source>Re&amp;move  All File(s)</source>
        <translation>&amp;Alle Dateien entfernen</translation>
    </message>
    <message>
        <source>Add NSF File(s)</source>
        <translation>NSF-Datei(en) hinzufügen</translation>
    </message>
    <message>
        <source>Add Domino Server NSF File(s)</source>
        <translation>NSF-Datei(en) eines Domino-Servers hinzufügen</translation>
    </message>
    <message>
        <source>Remove Selected NSF File(s)</source>
        <translation>Ausgewählte NSF-Datei(en) entfernen</translation>
    </message>
    <message>
        <source>Remove All NSF File(s)</source>
        <translation>Alle NSF-Dateien entfernen</translation>
    </message>
    <message>
        <source>Select NSF File</source>
        <translation>NSF-Datei wählen</translation>
    </message>
    <message>
        <source>NSF and Notes XML files (*.nsf *.dxl);;NSF File(*.nsf);;Notes XML export (*.dxl)</source>
        <translation>NSF- und Notes-XML-Dateien (*.nsf *.dxl);;NSF-Datei (*.nsf);;Notes-XML-Export (*.dxl)</translation>
    </message>
    <message>
        <source> already exist in the list</source>
        <translation> ist bereits in der Liste</translation>
    </message>
    <message>
        <source>You are selecting the file from network. <byte value="xd"/>
It&apos;s advisable to copy the file to local computer for better saving results </source>
        <translation>Sie wählen eine Datei im Netzwerk. <byte value="xd"/>
Für bessere Ergebnisse kopieren Sie die Datei besser auf den lokalen Computer </translation>
    </message>
    <message>
        <source>There are no NSF file(s) in the list to remove.</source>
        <translation>Die Liste enthält keine NSF-Dateien zum Entfernen.</translation>
    </message>
    <message>
        <source>Please select file to remove.</source>
        <translation>Bitte wählen Sie die zu entfernende Datei.</translation>
    </message>
    <message>
        <source>There are no NSF file(s) in the list to see preview.</source>
        <translation>Die Liste enthält keine NSF-Dateien für eine Vorschau.</translation>
    </message>
    <message>
        <source>Please select NSF file from list to see preview</source>
        <translation>Bitte wählen Sie eine NSF-Datei aus der Liste für die Vorschau</translation>
    </message>
    <message>
        <source>Please enter .NSF file</source>
        <translation>Bitte geben Sie eine .NSF-Datei an</translation>
    </message>
    <message>
        <source>Please add NSF file(s) to export.</source>
        <translation>Bitte fügen Sie NSF-Dateien zum Exportieren hinzu.</translation>
    </message>
</context>
</TS>
