<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AccelerationGauge</name>
    <message>
        <source>ACCELERATION</source>
        <translation>BESCHL.</translation>
    </message>
    <message>
        <source>Acceleration</source>
        <translation>Beschleunigung</translation>
    </message>
</context>
<context>
    <name>CircularGauge</name>
    <message>
        <source>OUT OF RANGE</source>
        <translation>ÜBERLAUF</translation>
    </message>
    <message>
        <source>BAD RATING</source>
        <translation>NENNWERT UNGÜLTIG</translation>
    </message>
    <message>
        <source>The device&apos;s %1 of %2 is beyond %3: the default scale is shown.</source>
        <translation>Die %1 des Geräts (%2) liegt über %3: Es wird die Standardskala angezeigt.</translation>
    </message>
    <message>
        <source>FORCE</source>
        <translation>KRAFT</translation>
    </message>
</context>
<context>
    <name>CommandCircularGauge</name>
    <message>
        <source>Raise command</source>
        <translation>Sollwert erhöhen</translation>
    </message>
    <message>
        <source>Lower command</source>
        <translation>Sollwert verringern</translation>
    </message>
    <message>
        <source>OUT OF RANGE</source>
        <translation>ÜBERLAUF</translation>
    </message>
    <message>
        <source>%1 measured</source>
        <translation>Istwert %1</translation>
    </message>
    <message>
        <source>command %1</source>
        <translation>Sollwert %1</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Sollwert</translation>
    </message>
    <message>
        <source>Measured</source>
        <translation>Istwert</translation>
    </message>
</context>
<context>
    <name>CommandLineInfo</name>
    <message>
        <source>Runs and configures a VKT force-controlled actuator or an HBN force-control unit.
Without an address the dashboard starts disconnected.</source>
        <translation>Bedient und konfiguriert einen kraftgeregelten VKT-Aktor oder eine HBN-Kraftregeleinheit.
Ohne Adresse startet das Dashboard ohne Verbindung.</translation>
    </message>
    <message>
        <source>The device to connect to: usb://PORT or network://HOST.</source>
        <translation>Das Gerät, mit dem verbunden wird: usb://PORT oder network://HOST.</translation>
    </message>
</context>
<context>
    <name>ConfigDialog</name>
    <message>
        <source>VKT Configuration</source>
        <translation>VKT-Konfiguration</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt;&quot;&gt;General Configuration&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt;&quot;&gt;Allgemeine Einstellungen&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>Einheiten</translation>
    </message>
    <message>
        <source>&amp;Metric</source>
        <translation>&amp;Metrisch</translation>
    </message>
    <message>
        <source>Eng&amp;lish</source>
        <translation>&amp;Imperial</translation>
    </message>
    <message>
        <source>Positive Position Limit</source>
        <translation>Positive Positionsgrenze</translation>
    </message>
    <message>
        <source> mm</source>
        <translation> mm</translation>
    </message>
    <message>
        <source>Negative Position Limit</source>
        <translation>Negative Positionsgrenze</translation>
    </message>
    <message>
        <source>Payload Weight</source>
        <translation>Nutzlast</translation>
    </message>
    <message>
        <source> Kg</source>
        <translation> Kg</translation>
    </message>
    <message>
        <source>Weight Payload on Power Up</source>
        <translation>Nutzlast beim Einschalten wiegen</translation>
    </message>
    <message>
        <source>Weigh on Power On</source>
        <translation>Beim Einschalten wiegen</translation>
    </message>
    <message>
        <source>Initial Operation Mode</source>
        <translation>Betriebsart nach dem Einschalten</translation>
    </message>
    <message>
        <source>Power Up Mode</source>
        <translation>Startbetriebsart</translation>
    </message>
    <message>
        <source>Force Mode</source>
        <translation>Kraftregelung</translation>
    </message>
    <message>
        <source>Position Mode</source>
        <translation>Positionsregelung</translation>
    </message>
    <message>
        <source>Initial Comand Force</source>
        <translation>Sollkraft nach dem Einschalten</translation>
    </message>
    <message>
        <source>Power Up Force</source>
        <translation>Startkraft</translation>
    </message>
    <message>
        <source> N</source>
        <translation> N</translation>
    </message>
    <message>
        <source>Initial Command Position</source>
        <translation>Sollposition nach dem Einschalten</translation>
    </message>
    <message>
        <source>Power Up Position</source>
        <translation>Startposition</translation>
    </message>
    <message>
        <source>Soft Touch</source>
        <translation>Soft Touch</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:16pt; font-weight:600;&quot;&gt;Soft Touch Configuration&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:16pt; font-weight:600;&quot;&gt;Soft-Touch-Einstellungen&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Soft Touch Enabled</source>
        <translation>Soft Touch ein</translation>
    </message>
    <message>
        <source>Soft Touch Force</source>
        <translation>Soft-Touch-Kraft</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>Soft Touch Position</source>
        <translation>Soft-Touch-Position</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:16pt; font-weight:600;&quot;&gt;Network Configuration&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:16pt; font-weight:600;&quot;&gt;Netzwerkeinstellungen&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Device Name</source>
        <translation>Gerätename</translation>
    </message>
    <message>
        <source>Enter Network Name</source>
        <translation>Netzwerknamen eingeben</translation>
    </message>
    <message>
        <source>Address Assignment</source>
        <translation>Adressvergabe</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>Static IP</source>
        <translation>Statische IP</translation>
    </message>
    <message>
        <source>DHCP Time Out</source>
        <translation>DHCP-Zeitlimit</translation>
    </message>
    <message>
        <source> Sec</source>
        <translation> s</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>Net Mask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>HBN I/O</source>
        <translation>HBN-E/A</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:14pt; font-weight:600;&quot;&gt;Field Bus&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:14pt; font-weight:600;&quot;&gt;Feldbus&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Bus Type</source>
        <translation>Bustyp</translation>
    </message>
    <message>
        <source>Node Address</source>
        <translation>Knotenadresse</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>Baudrate</translation>
    </message>
    <message>
        <source>125 Kbps</source>
        <translation>125 kbit/s</translation>
    </message>
    <message>
        <source>250 Kbps</source>
        <translation>250 kbit/s</translation>
    </message>
    <message>
        <source>500 Kbps</source>
        <translation>500 kbit/s</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:12pt; font-weight:600;&quot;&gt;Digital Out&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:12pt; font-weight:600;&quot;&gt;Digitale Ausgänge&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>CPU ClOCK</source>
        <translation>CPU-TAKT</translation>
    </message>
    <message>
        <source>HOST COM</source>
        <translation>HOST COM</translation>
    </message>
    <message>
        <source>TOOL COM</source>
        <translation>TOOL COM</translation>
    </message>
    <message>
        <source>+LIMIT</source>
        <translation>+GRENZE</translation>
    </message>
    <message>
        <source>-LIMIT</source>
        <translation>-GRENZE</translation>
    </message>
    <message>
        <source>OK TO WEIGH</source>
        <translation>WIEGEN BEREIT</translation>
    </message>
    <message>
        <source>WEIGHT VALID</source>
        <translation>GEWICHT GÜLTIG</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:12pt; font-weight:600;&quot;&gt;Digital In&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:12pt; font-weight:600;&quot;&gt;Digitale Eingänge&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>COMMAND1</source>
        <translation>SOLLWERT1</translation>
    </message>
    <message>
        <source>COMMAND2</source>
        <translation>SOLLWERT2</translation>
    </message>
    <message>
        <source>COMMAND3</source>
        <translation>SOLLWERT3</translation>
    </message>
    <message>
        <source>COMMAND4</source>
        <translation>SOLLWERT4</translation>
    </message>
    <message>
        <source>COMMAND5</source>
        <translation>SOLLWERT5</translation>
    </message>
    <message>
        <source>COMMAND6</source>
        <translation>SOLLWERT6</translation>
    </message>
    <message>
        <source>COMMAND NEG</source>
        <translation>SOLLWERT NEG</translation>
    </message>
    <message>
        <source>POS MODE</source>
        <translation>POS.-REGELUNG</translation>
    </message>
    <message>
        <source>WEIGH PAYLOAD</source>
        <translation>NUTZLAST WIEGEN</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>VKT Dashboard</source>
        <translation>VKT Dashboard</translation>
    </message>
    <message>
        <source>Based on Qt</source>
        <translation>Basiert auf Qt</translation>
    </message>
    <message>
        <source>This program is provided AS IS with NO WARRANTY of ANY KIND, INCLUDING THE WARRANTY OF DESIGN, MERCHANTABILITY AND FITNESS FOR A PARTICULAR PURPOSE.</source>
        <translation>Dieses Programm wird OHNE MÄNGELGEWÄHR und OHNE JEDE GEWÄHRLEISTUNG bereitgestellt, AUCH NICHT FÜR DESIGN, MARKTGÄNGIGKEIT ODER EIGNUNG FÜR EINEN BESTIMMTEN ZWECK.</translation>
    </message>
    <message>
        <source>Update Firmware</source>
        <translation>Firmware aktualisieren</translation>
    </message>
    <message>
        <source>VKT actuators and HBN force-control units are made and serviced by Tarnwell. Ask your Tarnwell representative for firmware and support.</source>
        <translation>VKT-Aktoren und HBN-Kraftregeleinheiten werden von Tarnwell hergestellt und gewartet. Firmware und Unterstützung erhalten Sie von Ihrer Tarnwell-Vertretung.</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>KEINER</translation>
    </message>
    <message>
        <source>&lt;b&gt;Use the following steps to upgrade device firmware:&lt;/b&gt;</source>
        <translation>&lt;b&gt;So aktualisieren Sie die Firmware des Geräts:&lt;/b&gt;</translation>
    </message>
    <message>
        <source>1. If upgrading VKT, first move carriage to POSITIVE (+) end stop.</source>
        <translation>1. Beim VKT zuerst den Schlitten an den POSITIVEN (+) Endanschlag fahren.</translation>
    </message>
    <message>
        <source>2. After clicking &quot;OK&quot; to close this message box, use File Manager to open USB Flash.</source>
        <translation>2. Diese Meldung mit „OK“ schließen, dann den USB-Speicher im Dateimanager öffnen.</translation>
    </message>
    <message>
        <source>3. Delete existing firmware file.</source>
        <translation>3. Die vorhandene Firmware-Datei löschen.</translation>
    </message>
    <message>
        <source>4. Copy new firware file to USB Flash.</source>
        <translation>4. Die neue Firmware-Datei auf den USB-Speicher kopieren.</translation>
    </message>
    <message>
        <source>5. Safely eject USB Flash.</source>
        <translation>5. Den USB-Speicher sicher auswerfen.</translation>
    </message>
    <message>
        <source>6. Cycle power on upgraded device.</source>
        <translation>6. Das aktualisierte Gerät aus- und wieder einschalten.</translation>
    </message>
    <message>
        <source>7. Click CONNECT button to reconnect to upgraded device.</source>
        <translation>7. Mit VERBINDEN wieder mit dem aktualisierten Gerät verbinden.</translation>
    </message>
    <message>
        <source>Connection lost: configuration not saved!</source>
        <translation>Verbindung verloren: Konfiguration nicht gespeichert!</translation>
    </message>
</context>
<context>
    <name>ConnectDialog</name>
    <message>
        <source>VKT Dashboard</source>
        <translation>VKT Dashboard</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:16pt; font-weight:600;&quot;&gt;Network Devices&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:16pt; font-weight:600;&quot;&gt;Netzwerkgeräte&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Search Again</source>
        <translation>Erneut suchen</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft...</translation>
    </message>
    <message>
        <source>Select Device</source>
        <translation>Gerät auswählen</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Enter Address</source>
        <translation>Adresse eingeben</translation>
    </message>
    <message>
        <source>Enter Device Name or IP Address</source>
        <translation>Gerätename oder IP-Adresse eingeben</translation>
    </message>
    <message>
        <source>Searching for devices...</source>
        <translation>Suche nach Geräten...</translation>
    </message>
    <message>
        <source>Select Device:</source>
        <translation>Gerät auswählen:</translation>
    </message>
</context>
<context>
    <name>ConsoleWindow</name>
    <message>
        <source>Console</source>
        <translation>Konsole</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>(kein Gerät)</translation>
    </message>
    <message>
        <source>%1 Console Interface</source>
        <translation>Konsolenschnittstelle %1</translation>
    </message>
    <message>
        <source>The terminal at %1 port %2 could not be reached.</source>
        <translation>Das Terminal unter %1, Port %2, ist nicht erreichbar.</translation>
    </message>
</context>
<context>
    <name>DeviceChooser</name>
    <message>
        <source>Error connecting to &quot;%1&quot;</source>
        <translation>Fehler beim Verbinden mit „%1“</translation>
    </message>
    <message>
        <source>VKT Dashboard</source>
        <translation>VKT Dashboard</translation>
    </message>
</context>
<context>
    <name>FieldPresentation</name>
    <message>
        <source> N</source>
        <translation> N</translation>
    </message>
    <message>
        <source> Lb</source>
        <translation> Lb</translation>
    </message>
    <message>
        <source> Kg</source>
        <translation> Kg</translation>
    </message>
    <message>
        <source> mm</source>
        <translation> mm</translation>
    </message>
    <message>
        <source> in</source>
        <translation> in</translation>
    </message>
</context>
<context>
    <name>ForceGauge</name>
    <message>
        <source>FORCE</source>
        <translation>KRAFT</translation>
    </message>
    <message>
        <source>force mode</source>
        <translation>Kraftregelung</translation>
    </message>
    <message>
        <source>Force</source>
        <translation>Kraft</translation>
    </message>
    <message>
        <source>maximum force</source>
        <translation>Maximalkraft</translation>
    </message>
    <message>
        <source>soft touch</source>
        <translation>Soft Touch</translation>
    </message>
    <message>
        <source>SOFT TOUCH</source>
        <translation>SOFT TOUCH</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>VKT Dashboard</source>
        <translation>VKT Dashboard</translation>
    </message>
    <message>
        <source>Load Parameter File</source>
        <translation>Parameterdatei laden</translation>
    </message>
    <message>
        <source>Save Parameter File</source>
        <translation>Parameterdatei speichern</translation>
    </message>
    <message>
        <source>Terminal</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>CONNECT</source>
        <translation>VERBINDEN</translation>
    </message>
    <message>
        <source>NO TOOL</source>
        <translation>KEIN AKTOR</translation>
    </message>
    <message>
        <source>Payload Weight</source>
        <translation>Nutzlast</translation>
    </message>
    <message>
        <source>UNKNOWN</source>
        <translation>UNBEKANNT</translation>
    </message>
    <message>
        <source>Weigh Payload</source>
        <translation>Nutzlast wiegen</translation>
    </message>
    <message>
        <source>&lt;b&gt;Error weighting payload!&lt;/b&gt;&lt;br&gt;Possible causes:&lt;ul&gt;&lt;li&gt; Insufficient air pressure&lt;/li&gt;&lt;li&gt; Excess payload weight&lt;/li&gt;&lt;li&gt; Carriage position unstable&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;b&gt;Fehler beim Wiegen der Nutzlast!&lt;/b&gt;&lt;br&gt;Mögliche Ursachen:&lt;ul&gt;&lt;li&gt; Luftdruck zu gering&lt;/li&gt;&lt;li&gt; Nutzlast zu schwer&lt;/li&gt;&lt;li&gt; Schlittenposition nicht stabil&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>VKT is not connected!</source>
        <translation>VKT ist nicht verbunden!</translation>
    </message>
    <message>
        <source>Error opening file!</source>
        <translation>Fehler beim Öffnen der Datei!</translation>
    </message>
    <message>
        <source>Connection lost: configuration not saved!</source>
        <translation>Verbindung verloren: Konfiguration nicht gespeichert!</translation>
    </message>
    <message>
        <source>Bad configuration file format!</source>
        <translation>Ungültiges Format der Konfigurationsdatei!</translation>
    </message>
    <message>
        <source>Configuration downloaded and saved!</source>
        <translation>Konfiguration übertragen und gespeichert!</translation>
    </message>
    <message>
        <source>Error reading configuration from device!</source>
        <translation>Fehler beim Lesen der Konfiguration vom Gerät!</translation>
    </message>
    <message>
        <source>Error saving file!</source>
        <translation>Fehler beim Speichern der Datei!</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>KEINER</translation>
    </message>
    <message>
        <source>CLICK to set Force</source>
        <translation>KLICKEN: Kraft vorgeben</translation>
    </message>
    <message>
        <source>CLICK + HOLD for Position Mode</source>
        <translation>KLICKEN + HALTEN: Positionsregelung</translation>
    </message>
    <message>
        <source>CLICK to set Position</source>
        <translation>KLICKEN: Position vorgeben</translation>
    </message>
    <message>
        <source>CLICK + HOLD for Force Mode</source>
        <translation>KLICKEN + HALTEN: Kraftregelung</translation>
    </message>
    <message>
        <source>WEIGHING</source>
        <translation>WIEGEN</translation>
    </message>
    <message>
        <source>OUT OF RANGE</source>
        <translation>ÜBERLAUF</translation>
    </message>
    <message>
        <source>Save new payload weight as default?</source>
        <translation>Neue Nutzlast als Vorgabe speichern?</translation>
    </message>
    <message>
        <source>Save VKT Parameter File</source>
        <translation>VKT-Parameterdatei speichern</translation>
    </message>
    <message>
        <source>Parameter Files (*.par)</source>
        <translation>Parameterdateien (*.par)</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>Verlauf</translation>
    </message>
</context>
<context>
    <name>ParameterImport</name>
    <message numerus="yes">
        <source>Configuration not saved: the device refused %n value(s):</source>
        <translation>
            <numerusform>Konfiguration nicht gespeichert: Das Gerät hat %n Wert abgelehnt:</numerusform>
            <numerusform>Konfiguration nicht gespeichert: Das Gerät hat %n Werte abgelehnt:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weiterer</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>The other values are active but not stored.</source>
        <translation>Die übrigen Werte sind aktiv, aber nicht gespeichert.</translation>
    </message>
</context>
<context>
    <name>PositionGauge</name>
    <message>
        <source>POSITION</source>
        <translation>POSITION</translation>
    </message>
    <message>
        <source>position mode</source>
        <translation>Positionsregelung</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>maximum position</source>
        <translation>Maximalposition</translation>
    </message>
    <message>
        <source>+LIMIT</source>
        <translation>+GRENZE</translation>
    </message>
    <message>
        <source>-LIMIT</source>
        <translation>-GRENZE</translation>
    </message>
</context>
<context>
    <name>RemoteDevice</name>
    <message>
        <source> (the port is in use by another program)</source>
        <translation> (der Anschluss wird von einem anderen Programm benutzt)</translation>
    </message>
    <message>
        <source> (serial ports belong to the dialout group: sudo adduser $USER dialout, then log in again)</source>
        <translation> (serielle Anschlüsse gehören der Gruppe dialout: sudo adduser $USER dialout, dann neu anmelden)</translation>
    </message>
    <message>
        <source>the device stopped answering</source>
        <translation>das Gerät antwortet nicht mehr</translation>
    </message>
    <message>
        <source>not a device address (usb://PORT or network://HOST)</source>
        <translation>keine Geräteadresse (usb://PORT oder network://HOST)</translation>
    </message>
    <message>
        <source>the device did not identify itself</source>
        <translation>das Gerät hat sich nicht zu erkennen gegeben</translation>
    </message>
    <message>
        <source>the name has no address</source>
        <translation>zu diesem Namen gibt es keine Adresse</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
</context>
<context>
    <name>SettingRow</name>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>Stored value: %1</source>
        <translation>Gespeicherter Wert: %1</translation>
    </message>
</context>
<context>
    <name>StateEvent</name>
    <message>
        <source>connected</source>
        <translation>verbunden</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>Verbindung verloren</translation>
    </message>
    <message>
        <source>tool present</source>
        <translation>Aktor erkannt</translation>
    </message>
    <message>
        <source>tool lost</source>
        <translation>Aktor verloren</translation>
    </message>
    <message>
        <source>control mode %1</source>
        <translation>Regelart %1</translation>
    </message>
    <message>
        <source>force command %1</source>
        <translation>Kraftsollwert %1</translation>
    </message>
    <message>
        <source>position command %1</source>
        <translation>Positionssollwert %1</translation>
    </message>
    <message>
        <source>weighing started</source>
        <translation>Wiegen begonnen</translation>
    </message>
    <message>
        <source>weighing ended %1</source>
        <translation>Wiegen beendet %1</translation>
    </message>
    <message>
        <source>units unknown</source>
        <translation>Einheiten unbekannt</translation>
    </message>
    <message>
        <source>units metric</source>
        <translation>Einheiten metrisch</translation>
    </message>
    <message>
        <source>units English</source>
        <translation>Einheiten englisch</translation>
    </message>
</context>
<context>
    <name>TrendPlot</name>
    <message>
        <source>Force</source>
        <translation type="unfinished">Kraft</translation>
    </message>
    <message>
        <source>measured</source>
        <translation>Istwert</translation>
    </message>
    <message>
        <source>command</source>
        <translation>Sollwert</translation>
    </message>
    <message>
        <source>Position</source>
        <translation type="unfinished">Position</translation>
    </message>
    <message>
        <source>limits</source>
        <translation>Grenzen</translation>
    </message>
    <message>
        <source>Acceleration</source>
        <translation type="unfinished">Beschleunigung</translation>
    </message>
    <message>
        <source>now</source>
        <translation>jetzt</translation>
    </message>
    <message>
        <source>minutes before %1</source>
        <translation>Minuten vor %1</translation>
    </message>
    <message>
        <source>seconds before %1</source>
        <translation>Sekunden vor %1</translation>
    </message>
</context>
<context>
    <name>TrendWindow</name>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>CSV exportieren…</translation>
    </message>
    <message>
        <source>Export picture…</source>
        <translation>Bild exportieren…</translation>
    </message>
    <message>
        <source>Record…</source>
        <translation>Aufzeichnen…</translation>
    </message>
    <message>
        <source>VKT Dashboard - Trend</source>
        <translation>VKT Dashboard - Verlauf</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Export picture</source>
        <translation>Bild exportieren</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>Error writing %1: %2</source>
        <translation>Fehler beim Schreiben von %1: %2</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufzeichnen</translation>
    </message>
    <message>
        <source>Error recording to %1: %2</source>
        <translation>Fehler beim Aufzeichnen in %1: %2</translation>
    </message>
    <message>
        <source>Recording stopped: error writing %1: %2</source>
        <translation>Aufzeichnung beendet: Fehler beim Schreiben von %1: %2</translation>
    </message>
    <message>
        <source>Stop recording</source>
        <translation>Aufzeichnung beenden</translation>
    </message>
    <message>
        <source>Recording %1: %2 rows</source>
        <translation>Aufzeichnung %1: %2 Zeilen</translation>
    </message>
    <message>
        <source>Recorded %1: %2 rows</source>
        <translation>Aufgezeichnet %1: %2 Zeilen</translation>
    </message>
    <message>
        <source>%1   force %2 (command %3)   position %4 (command %5)   acceleration %6</source>
        <translation>%1   Kraft %2 (Soll %3)   Position %4 (Soll %5)   Beschleunigung %6</translation>
    </message>
    <message>
        <source>30 s</source>
        <translation>30 s</translation>
    </message>
    <message>
        <source>2 min</source>
        <translation>2 min</translation>
    </message>
    <message>
        <source>10 min</source>
        <translation>10 min</translation>
    </message>
    <message>
        <source>1 h</source>
        <translation>1 h</translation>
    </message>
</context>
</TS>
