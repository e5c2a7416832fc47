#include "interaction/help_text.h"

#include <mutex>
#include <string>

#include "text/language.h"

namespace {

// The help as one HTML text in the language now chosen. Each heading, table,
// paragraph and step of the plan is a text of its own, so that a translator
// sees it whole; each part ends a line, and an empty part leaves a blank line.
std::string ComposeHelp() {
  std::string html = "\n";
  for (const char* part : {
           // Two columns: what to press, what it does.
           Tr(R"(<h3>Tasten und Maus in den Fenstern „Daten“ und „Skalierungsfunktion und Wavelets“</h3>)"),
           Tr(R"(<table cellspacing="0" cellpadding="3">
<tr><td colspan="2"><b>Tastatur</b></td></tr>
<tr><td>R</td><td>Drehen: die Pfeiltasten drehen das Bild</td></tr>
<tr><td>T</td><td>Verschieben: die Pfeiltasten bewegen die Ansicht</td></tr>
<tr><td colspan="2">R und T gelten für beide Fenster zugleich.</td></tr>
<tr><td colspan="2"><i>Beim Drehen:</i></td></tr>
<tr><td>← / →</td><td>um die z-Achse drehen</td></tr>
<tr><td>↑ / ↓</td><td>um die x-Achse drehen</td></tr>
<tr><td>Umschalt + ↑ / ↓</td><td>um die y-Achse drehen</td></tr>
<tr><td colspan="2"><i>Beim Verschieben:</i></td></tr>
<tr><td>← / →</td><td>nach links / rechts verschieben</td></tr>
<tr><td>↑ / ↓</td><td>näher heran / weiter weg</td></tr>
<tr><td>Umschalt + ↑ / ↓</td><td>nach oben / unten verschieben</td></tr>
<tr><td>B</td><td>das Fenster „Bild“ öffnen</td></tr>
<tr><td>Strg+C</td><td>Bild in die Zwischenablage kopieren</td></tr>
<tr><td>Strg+S</td><td>Bild speichern (PNG, mit der Endung .jpg als JPEG)</td></tr>
<tr><td>F1</td><td>diese Hilfe (in jedem Fenster)</td></tr>
<tr><td>Esc</td><td>Hilfe schließen</td></tr>
<tr><td colspan="2"><b>Maus</b> (unabhängig von R und T)</td></tr>
<tr><td>Ziehen mit der linken Taste</td><td>drehen: waagerecht wie ← / →, senkrecht wie ↑ / ↓</td></tr>
<tr><td>Umschalt + Ziehen mit der linken Taste</td><td>senkrecht wie Umschalt + ↑ / ↓</td></tr>
<tr><td>Ziehen mit der rechten oder mittleren Taste</td><td>Ansicht verschieben, das Bild folgt der Maus</td></tr>
<tr><td>Mausrad</td><td>nach vorn: näher heran, nach hinten: weiter weg</td></tr>
<tr><td>Doppelklick mit der linken Taste</td><td>Drehung und Lage der Ansicht zurücksetzen</td></tr>
<tr><td>Rechtsklick</td><td>Menü mit „Bild kopieren“ und „Bild speichern…“</td></tr>
</table>)"),
           Tr(R"(<p>Im Funktionsfenster wirkt das Drehen auf alle vier Funktionen,
in der Nahansicht nur auf die gezeigte.</p>)"),
           "",
           Tr(R"(<h3>Die Bedienelemente</h3>)"),
           Tr(R"(<table cellspacing="0" cellpadding="3">
<tr><td>Delta (Schieberegler)</td><td>formt die Skalierungsfunktion: 0 ist die Box (Haar), 1 der Hut auf [0, 2],
dazwischen ein Trapez mit Rampen der Breite Delta. Das Funktionsfenster folgt sofort.
Pfeiltasten und Mausrad: 0.01, Klick neben den Griff oder Bild auf/ab: 0.1.</td></tr>
<tr><td>aktuelles Delta</td><td>das Delta, mit dem die Daten zerlegt und wieder zusammengesetzt werden.
Es übernimmt den Wert des Schiebereglers erst mit „Berechne!“.</td></tr>
<tr><td>Level (2 bis 6, bei feinerer Auflösung bis 9)</td><td>nach links: die Daten werden Stufe für Stufe in gröbere Koeffizienten
und Details zerlegt; nach rechts: aus ihnen wieder zusammengesetzt (mit dem aktuellen Delta).</td></tr>
<tr><td>Berechne!</td><td>übernimmt das Delta des Schiebereglers als aktuelles Delta. Unterhalb von
Level 6 bleiben die gezeigten Koeffizienten, wie sie sind; erst der Weg nach oben setzt sie mit
dem neuen Delta zusammen (siehe unten).</td></tr>
<tr><td>Zoom</td><td>das Funktionsfenster zeigt die Funktionen auf Level 1 (groß) statt auf dem gewählten Level.</td></tr>
<tr><td>Zeige nur Daten</td><td>an: nur die Approximation über die ganze Fläche; aus: das ganze Schema
aus Approximation und Detailblöcken.</td></tr>
<tr><td>Ansichten</td><td>holt geschlossene Fenster „Skalierungsfunktion und Wavelets“ und „Daten“
an ihren Platz zurück.</td></tr>
<tr><td>Analyse…</td><td>eigene Flächen, Kompression, Fehler und Energien, zwei Kurven.</td></tr>
</table>)"),
           "",
           Tr(R"(<h3>Die Farben</h3>)"),
           Tr(R"(<p>Rot: die Skalierungsfunktion und die drei Wavelets im Funktionsfenster. Grün: die Daten bzw.
ihre Approximation. Im ganzen Schema („Zeige nur Daten“ aus) rot die Details in nur einer Richtung
(x oder y), blau die Details in beiden Richtungen. Das grüne Schimmern auf allen Flächen ist das
Umgebungslicht.</p>)"),
           "",
           Tr(R"(<h3>Das Fenster „Analyse“</h3>)"),
           Tr(R"(<p><b>Datenquelle</b>: die Beispielfläche, eine Formel f(x, y) oder eine Datei (Bild oder Zahlentabelle).
<b>Auflösung</b>: 65 × 65 Punkte (höchster Level 6) bis 513 × 513 (Level 9); die Quelle wird dafür
neu abgetastet. Das Fenster „Daten“ zeichnet mit derselben Schrittweite weiter, das Fenster „Bild“
zeigt jeden Punkt.</p>)"),
           Tr(R"(<p><b>Kompression</b>: „Anwenden“ zerlegt die Originalfläche mit dem aktuellen Delta bis zum gezeigten
Level und behält nur den gewählten Anteil der größten Detailkoeffizienten; alle anderen werden 0.
„Original“ zeigt wieder die unkomprimierte Zerlegung. Die Zeile „Gezeigt: …“ sagt, welcher Zustand
zu sehen ist. Im Fenster „Daten“ sieht man die ausgedünnten Detailblöcke nur, wenn „Zeige nur Daten“
aus ist; sonst zeigt es unterhalb von Level 6 nur die Approximation.</p>)"),
           Tr(R"(<p><b>Kennzahlen</b>: der Fehler der gezeigten Koeffizienten, zusammengesetzt bis Level 6, gegen
das Original (größter Betrag, RMS, PSNR). <b>Energie</b> eines Blocks ist die Summe der Quadrate
seiner Koeffizienten, <b>Anteil</b> ihr Teil an der Summe über alle Blöcke. Die Energie bleibt beim
Wechsel des Levels nicht erhalten, weil die Basis nicht orthonormal ist.</p>)"),
           Tr(R"(<p><b>Kurven</b>: „Fehler über Delta“ zeigt für jedes Delta von 0 bis 1, wie groß der Fehler
mit dem gewählten Anteil wäre; ein Klick setzt den Delta-Schieberegler dorthin. Der volle Punkt ist
das aktuelle Delta, der hohle das des Schiebereglers. „Fehler über Anteil“ zeigt beim aktuellen Delta
den Fehler für 0 bis 100 % behaltener Details (logarithmisch; ein Fehler 0 liegt am unteren Rand).
Nach „Anwenden“ stimmen die Kennzahlen mit den markierten Kurvenpunkten überein.</p>)"),
           Tr(R"(<p><b>Analyse und Synthese gehören zusammen.</b> Wird unterhalb von Level 6 „Berechne!“ mit einem
anderen Delta gedrückt, stammen die Koeffizienten noch vom alten Delta, zusammengesetzt wird aber
mit dem neuen. Dann steht z. B. „Koeffizienten mit Delta 0.4 berechnet, Synthese mit Delta 0.2“
auf der Steuerung und beim Fehler, und der Fehler ist viel größer, als die Kurve verspricht:
Zerlegung und Rekonstruktion müssen dieselbe Familie von Funktionen benutzen. „Anwenden“ oder
„Original“ zerlegen neu mit dem aktuellen Delta.</p>)"),
           "",
           Tr(R"(<h3>Das Fenster „Bild“</h3>)"),
           // xgettext:no-c-format ("5 % der" only looks like a printf directive)
           Tr(R"(<p>„Bild…“ im Fenster „Analyse“ oder die Taste B in einer Ansicht öffnet es. Nebeneinander, so wie
man von oben auf die Daten blickt: <b>Original</b> (die Fläche, wie sie übernommen wurde),
<b>Rekonstruktion</b> (die gezeigten Koeffizienten bis zum höchsten Level zusammengesetzt – genau
das, womit der Fehler berechnet wird), beide grau auf derselben Skala; <b>Differenz</b>
(Rekonstruktion − Original, blau negativ, rot positiv, Skala ± größter Fehler) und
<b>Koeffizienten</b> (Beträge auf dem gezeigten Level, logarithmisch: links unten die Approximation,
ringsum die Detailblöcke). Damit lässt sich sehen, ob ein Foto mit 5 % der Details noch zu erkennen ist.</p>)"),
           "",
           Tr(R"(<h3>Unterrichtsablauf (etwa 20 Minuten)</h3>)"),
           "<ol>",
           Tr(R"(<li>Delta von 0 bis 1 schieben: aus der Box wird der Hut, die Wavelets ändern ihre Form (3 min).</li>)"),
           Tr(R"(<li>Level von 6 auf 2 schieben: die Daten werden gröber. Dann „Zoom“ aus: die Funktionsansicht zeigt, wie breit
die Funktionen von Level 2 sind (auf Level 6 bedecken sie nur eine winzige Ecke des Quadrats) (3 min).</li>)"),
           Tr(R"(<li>„Zeige nur Daten“ aus: Approximation in der Ecke, rote und blaue Detailblöcke ringsum (3 min).</li>)"),
           Tr(R"(<li>„Analyse…“ öffnen, Level wieder auf 6: fast das Original, aber nicht genau – unter „Kennzahlen“ ist der
RMS-Fehler größer als 0, „Bild…“ zeigt ihn als „Differenz“ (2 min).</li>)"),
           Tr(R"(<li>Level 2, 10 % „Anwenden“: „Kennzahlen“ und der Punkt der Kurve „Fehler über Anteil“ bei 10 % nennen
denselben RMS-Fehler. Dann Level 6: wie viel von der Fläche bleibt mit so wenigen Details? Zurück auf Level 2
sind es wieder genau die behaltenen Koeffizienten (4 min).</li>)"),
           Tr(R"(<li>Auf Level 2 auf „Fehler über Delta“ das Minimum anklicken (der Delta-Schieber springt dorthin),
„Berechne!“, erneut „Anwenden“: das passende Delta senkt den Fehler (3 min).</li>)"),
           Tr(R"(<li>Auf Level 2 ein anderes Delta „berechnen“ und hinaufgehen: die Zeile unter dem Fehler nennt die
verschiedenen Deltas und erklärt so den großen Fehler, auch auf Level 6. „Original“ räumt auf (2 min).</li>)"),
           "</ol>",
       }) {
    html += part;
    html += '\n';
  }
  return html;
}

}  // namespace

const char* HelpHtml() {
  // Composed once for each language and kept, so that the pointer stays valid.
  static std::mutex mutex;
  static std::string composed[2];
  const std::lock_guard lock(mutex);
  std::string& html = composed[CurrentLanguage() == Language::English ? 1 : 0];
  if (html.empty()) html = ComposeHelp();
  return html.c_str();
}
