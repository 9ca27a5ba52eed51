#!/usr/bin/env python3
"""Writes res/demo/demo-mail.dxl: a small Notes mail database in Notes XML,
made up for demonstrations, screenshots and tests.

It holds the usual mail-file folders and views (with selection formulas and
sorted columns), a few dozen mails with attachments, copies, blind copies,
hierarchical names and text in several scripts, appointments, tasks, journal
entries and contacts, one of them with a photo.

Run: python3 scripts/make-demo-dxl.py [OUTPUT]
The output is deterministic: the same script always writes the same file.
Tests read the demo database (note IDs, counts, texts): change its data only
together with them.
"""
import base64
import hashlib
import sys
from xml.sax.saxutils import escape

PHOTO_JPEG = (
    "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRof"
    "Hh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/2wBDAQkJCQwLDBgNDRgyIRwh"
    "MjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjIyMjL/wAAR"
    "CABgAGADASIAAhEBAxEB/8QAGwABAQEAAwEBAAAAAAAAAAAAAAQGAgMFAQf/xAAxEAABBAEC"
    "AwQIBwAAAAAAAAAAAQIDEgQFERMhQQYyUZEUMWFxgbHR4SIjJHKhwfD/xAAaAQACAwEBAAAA"
    "AAAAAAAAAAAAAQIEBgUD/8QAJhEAAwACAQQBAwUAAAAAAAAAAAECAxEFBBIhMSITI6EUQVFh"
    "sf/aAAwDAQACEQMRAD8A1lxcmuLmlOOU3Fya4uAFNxcmuLgBTcXJri4AU3Fya4uAFNxcmuLg"
    "BPcXJbi4xFVxcludkDH5EzIY03e9dkQTaS2xpNvSKYmSTyJHExXuXoh6cWh5DkRZZGR+xOao"
    "evhYUWDAkcabqvecvrcpSZzqeYyOtYfC/n9ztYONhLeXyzwZNCman5czH/uTb6nmTwzYz6TM"
    "Vi9N+psTqyMeLKhdFK3dq+aL4oR6fmMs1rL5X5Hm43G19vwzHXFzjm478LKfA9d9vUvinRSe"
    "5pIqblVPpnEqXLcv2iq4uS3FyQie4uS3FxiKrnu9l4kkzZZlTfhs2T2Kv2RTMXNH2QyETMyI"
    "FXvsRyfBfuUuR2ulvtLXRa+vOzXgAxppQAAAzvaqJEjx8hE5oqsVf5T5KZm5pO1+QjcbGg35"
    "uer/ACTb+zI3NdxW30s7/v8A0zvIa/UPRVcXJbi50SkT3Fya4uMRTcows6TBzIsmPvMXfbxT"
    "qh51xcVSqTl+mOacvaP1vCzYNQxWZGO+zHeaL4L7Sg/KNP1bL0ybiYsqt37zV5td70NPjduo"
    "1aiZWG5F6uidvv8ABfqZfqeIzRTeL5L8newcljpayeGbA65posaF80z0ZGxN3OXoZaft1jIi"
    "+j4cr18ZHI35bma1LXc3VXfqJNo0XdImcmp9fiR6fic+SvuLtQ83I4oXw8s79X1RdT1B8/NI"
    "0/DG1ejU/wBuQXJri5qMcTjlRPpHBu3dOq9spuLk1xcmRJ7i5NxBxBiKbi5NxDg6RV5JyQi2"
    "kSmXRS6drfWpwXKTo1SYHn3s9VjRSmV4tXzObchruu3vIwHeweNF9xcia9W+47OIektM8qly"
    "U3FybiDiEiJNcXJri4xFaLum59PjU2aiH0rt7ZalaWgABDAAAAFXZABp6YmtrRwuLk6u2VU8"
    "D5csFU//2Q=="
)

CHART_PNG = (
    "iVBORw0KGgoAAAANSUhEUgAAAEAAAAAgBAMAAABQs2O3AAAABGdBTUEAALGPC/xhBQAAACBj"
    "SFJNAAB6JgAAgIQAAPoAAACA6AAAdTAAAOpgAAA6mAAAF3CculE8AAAAD1BMVEX///8zVcwz"
    "qjOqM6rMMzNDgstsAAAAAWJLR0QAiAUdSAAAAAd0SU1FB+oMBwgwDhXBDbAAAAApSURBVDjL"
    "Y2AYlEAQBASGqgIlEFAYXAqMgcBgyChwAQGHUQV0UIAfAAB33z1SYvRLYAAAACV0RVh0ZGF0"
    "ZTpjcmVhdGUAMjAyNi0xMi0wN1QwODo0ODoxNCswMDowMFOvPSYAAAAldEVYdGRhdGU6bW9k"
    "aWZ5ADIwMjYtMTItMDdUMDg6NDg6MTQrMDA6MDAi8oWaAAAAAElFTkSuQmCC"
)

LOGO_GIF = (
    "R0lGODlhEAAQAPIAAMwAANYmANYnAOx/APm0AP7GAP/MAAAAACH5BAAAAAAALAAAAAAQABAA"
    "AAMwaLrc/jDCMgQQo0ACugeEU3ykxgzkNzRW2gmN+7Hy1aDyyoyyyXCp0INiwfgkyGQCADs="
)


def quote(text):
    return escape(text, {"'": "&apos;"})


def unid(key):
    return hashlib.md5(key.encode("utf-8")).hexdigest().upper()


def b64(data):
    text = base64.b64encode(data).decode("ascii")
    return "\n".join(text[i:i + 76] for i in range(0, len(text), 76))


def dt(stamp, zone="+01"):
    """'2012-03-14 09:30' -> DXL date/time in the given zone."""
    date, _, time = stamp.partition(" ")
    d = date.replace("-", "")
    if not time:
        return d
    hh, mm = time.split(":")[:2]
    return "%sT%s%s00,00%s" % (d, hh, mm, zone)


def minimal_pdf(lines):
    """A valid one-page PDF showing the given lines of text."""
    content = "BT /F1 14 Tf 72 760 Td 18 TL\n"
    for line in lines:
        content += "(%s) '\n" % line.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")
    content += "ET\n"
    objects = [
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length %d >>\nstream\n%sendstream" % (len(content), content),
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    out = "%PDF-1.4\n"
    offsets = []
    for i, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += "%d 0 obj\n%s\nendobj\n" % (i, body)
    xref = len(out)
    out += "xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for off in offsets:
        out += "%010d 00000 n \n" % off
    out += "trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return out.encode("latin-1")


# ---- attachments
REPORT_PDF = minimal_pdf(["Quarterly report Q1 2012", "Revenue: 1.2 M EUR", "Prepared by Ann Lee"])
AGENDA_TXT = "Agenda\r\n1. Welcome\r\n2. Budget 2013\r\n3. Caf\u00e9 & Kuchen \u2615\r\n".encode("utf-8")
NOTES_TXT = "Meeting notes \u2013 \u65e5\u672c\u8a9e\u306e\u30e1\u30e2\nAll good.\n".encode("utf-8")
CHART = base64.b64decode("".join(CHART_PNG))
LOGO = base64.b64decode("".join(LOGO_GIF))
PHOTO = base64.b64decode("".join(PHOTO_JPEG))

ME = "CN=Ann Lee/OU=Sales/O=Acme"
PEOPLE = {
    "ann": ME,
    "bob": "CN=Bob Meyer/O=Acme",
    "chen": "CN=Chen Wei/OU=R&D/O=Acme",
    "dora": "CN=Dora M\u00fcller/O=Acme",
    "eli": "CN=\u00c9lise Durand/OU=Paris/O=Acme",
    "kostas": "CN=\u039a\u03ce\u03c3\u03c4\u03b1\u03c2 \u03a0\u03b1\u03c0\u03b1\u03b4\u03cc\u03c0\u03bf\u03c5\u03bb\u03bf\u03c2/O=Acme",
    "sato": "CN=\u4f50\u85e4 \u82b1\u5b50/O=Acme Japan",
}
INTERNET = {
    "ext1": "Carla Ruiz <carla.ruiz@example.org>",
    "ext2": "news@shop.example.com",
    "ext3": "j.smith@partner.example.net",
}

NEXT_ID = [0x8F6]


def next_note_id():
    value = NEXT_ID[0]
    NEXT_ID[0] += 4
    return "%x" % value


def noteinfo(key, created):
    return ("<noteinfo noteid='%s' unid='%s' sequence='1'>\n<created><datetime>%s</datetime></created>\n"
            "</noteinfo>\n" % (next_note_id(), unid(key), dt(created)))


def item(name, value, extra=""):
    return "<item name='%s'%s>%s</item>\n" % (quote(name), extra, value)


def text(name, value, names=False):
    extra = " names='true'" if names else ""
    if isinstance(value, (list, tuple)):
        if len(value) == 1:
            return item(name, "<text>%s</text>" % quote(value[0]), extra)
        return item(name, "<textlist>%s</textlist>" % "".join("<text>%s</text>" % quote(v) for v in value), extra)
    return item(name, "<text>%s</text>" % quote(value), extra)


def date(name, stamp, zone="+01"):
    return item(name, "<datetime>%s</datetime>" % dt(stamp, zone))


def number(name, value):
    return item(name, "<number>%s</number>" % value)


def file_item(name, data, created="2012-01-10 10:00"):
    return ("<item name='$FILE' summary='true' sign='true'><object><file hosttype='msdos' compression='none' "
            "flags='storedindoc' encoding='none' name='%s' size='%d'><created><datetime>%s</datetime></created>"
            "<modified><datetime>%s</datetime></modified><filedata>\n%s\n</filedata></file></object></item>\n"
            % (quote(name), len(data), dt(created), dt(created), b64(data)))


PARDEFS = ("<pardef id='1'/>\n<pardef id='2' list='bullet' leftmargin='1.2500in'/>\n"
           "<pardef id='3' align='center'/>\n<pardef id='4' leftmargin='1.5000in' tabs='L2in L3in'/>\n")


def par(content, pardef=1):
    return "<par def='%d'>%s</par>\n" % (pardef, content)


def run(content, style=None, color=None, size=None, face=None):
    attrs = ""
    if size:
        attrs += " size='%dpt'" % size
    if style:
        attrs += " style='%s'" % style
    if color:
        attrs += " color='%s'" % color
    if face:
        attrs += " name='%s'" % face
    return "<run><font%s/>%s</run>" % (attrs, quote(content))


def body(paragraphs):
    return "<item name='Body'><richtext>\n%s%s</richtext></item>\n" % (PARDEFS, "".join(paragraphs))


def plain_body(*lines):
    return body([par(quote(line)) for line in lines])


def table(rows):
    out = "<table widthtype='fixedleft' refwidth='4.5in'><tablecolumn width='1.5in'/><tablecolumn width='3in'/>\n"
    for cells in rows:
        out += "<tablerow>"
        for i, cell in enumerate(cells):
            bg = " bgcolor='#e0e8f0'" if i == 0 else ""
            out += "<tablecell%s><pardef id='9%d'/><par def='9%d'>%s</par></tablecell>" % (bg, i, i, cell)
        out += "</tablerow>\n"
    return out + "</table>\n"


def picture(data, fmt, width, height):
    return "<picture width='%dpx' height='%dpx'><%s>\n%s\n</%s></picture>" % (width, height, fmt, b64(data), fmt)


FOLDER_UNIDS = {}


def refs(*folders):
    return text("$FolderRefs", [FOLDER_UNIDS[f] for f in folders]) if folders else ""


def document(key, form, created, items, form_item=True):
    head = "<document form='%s'>\n" % quote(form)
    out = head + noteinfo(key, created)
    if form_item:
        out += text("Form", form)
    return out + "".join(items) + "</document>\n"


# ---- design: folders and views
def folder(name, columns):
    key = "folder:" + name
    FOLDER_UNIDS[name] = unid(key)
    return ("<folder name='%s' showinmenu='true'>\n%s%s</folder>\n"
            % (quote(name), noteinfo(key, "2011-12-01 08:00"), columns))


def view(name, formula, columns):
    key = "view:" + name
    return ("<view name='%s' showinmenu='true'>\n%s<code event='selection'><formula>%s</formula></code>\n%s</view>\n"
            % (quote(name), noteinfo(key, "2011-12-01 08:00"), quote(formula), columns))


def column(item_name, title, sort=None, value_formula=None):
    attrs = " itemname='%s'" % quote(item_name)
    if sort:
        attrs += " sort='%s'" % sort
    code = "<code event='value'><formula>%s</formula></code>" % quote(value_formula) if value_formula else ""
    return "<column%s><columnheader title='%s'/>%s</column>\n" % (attrs, quote(title), code)


MAIL_COLUMNS = (column("$Who", "Who", value_formula="@Name([CN]; From)") + column("Subject", "Subject") +
                column("PostedDate", "Date", sort="descending"))

design = [
    folder("($Inbox)", MAIL_COLUMNS),
    view("($Sent)", "SELECT Form = \"Memo\" & @IsAvailable(PostedDate) & @IsUnavailable(DeliveredDate)", MAIL_COLUMNS),
    view("($Drafts)", "SELECT Form = \"Memo\" & @IsUnavailable(PostedDate)", column("Subject", "Subject", sort="ascending")),
    view("($All)", "SELECT Form != \"Person\" & !@Begins(Form; \"Journal\")", MAIL_COLUMNS),
    folder("($Trash)", MAIL_COLUMNS),
    folder("($JunkMail)", MAIL_COLUMNS),
    view("($Meetings)", "SELECT Form = \"Appointment\"",
         column("STARTDATETIME", "When", sort="ascending") + column("Subject", "Subject")),
    view("($Calendar)", "SELECT @IsMember(Form; \"Appointment\")", column("STARTDATETIME", "When", sort="ascending")),
    view("($Alarms)", "SELECT @IsAvailable($Alarm) & @Today <= StartDate", column("STARTDATETIME", "When", sort="ascending")),
    view("($ToDo)", "SELECT Form = \"Task\"", column("DueDate", "Due", sort="ascending") + column("Subject", "Subject")),
    view("($Follow-Up)", "SELECT FollowUpStatus = \"1\"", MAIL_COLUMNS),
    view("My Contacts", "SELECT Form = \"Person\"",
         column("LastName", "Last name", sort="ascending") + column("FirstName", "First name")),
    view("By Diary Date", "SELECT @Begins(Form; \"Journal\")",
         column("DiaryDate", "Date", sort="descending") + column("Subject", "Subject")),
    view("By Author", "SELECT @All", column("From", "Author", sort="ascending")),
    folder("Projects", MAIL_COLUMNS),
    folder("Projects\\2012", MAIL_COLUMNS),
    folder("Projects\\2013", MAIL_COLUMNS),
    folder("Archive", MAIL_COLUMNS),
]

# ---- mails
docs = []
mail_no = [0]


def mail(subject, sender, send_to, posted, folders, body_xml, cc=(), bcc=(), delivered=True, files=(),
         inet_from=None, extra=()):
    mail_no[0] += 1
    key = "mail:%d:%s" % (mail_no[0], subject)
    items = [text("Subject", subject)]
    if sender is not None:
        items.append(text("From", sender, names=True))
    if inet_from is not None:
        items.append(text("INetFrom", inet_from, names=True))
    items.append(text("SendTo", list(send_to), names=True))
    if cc:
        items.append(text("CopyTo", list(cc), names=True))
    if bcc:
        items.append(text("BlindCopyTo", list(bcc), names=True))
    items.append(text("Principal", sender or inet_from or "", names=True))
    if posted:
        items.append(date("PostedDate", posted))
        items.append(date("ComposedDate", posted))
        if delivered:
            items.append(date("DeliveredDate", posted))
    items.extend(extra)
    items.append(body_xml)
    for name, data in files:
        items.append(file_item(name, data, posted or "2013-01-01 09:00"))
    items.append(refs(*folders))
    docs.append(document(key, "Memo", posted or "2013-04-02 16:00", items))


P = PEOPLE
mail("Welcome to the team", P["bob"], [ME], "2012-01-09 08:15", ["($Inbox)"],
     plain_body("Hi Ann,", "welcome on board! Your desk is in room 4.12.", "Bob"))
mail("Quarterly report Q1", P["chen"], [ME, P["bob"]], "2012-04-03 17:42", ["($Inbox)", "Projects\\2012"],
     body([par(run("Please find the report attached.")),
           par(run("Key figures", style="bold", size=12)),
           table([[run("Revenue"), run("1.2 M EUR")], [run("Margin"), run("18 %", color="#008000")],
                  [run("Risk"), run("Currency", color="#cc0000", style="bold")]]),
           par("<attachmentref name='report.pdf' displayname='report.pdf'/>")]),
     cc=[P["dora"]], files=[("report.pdf", REPORT_PDF)])
mail("Budget 2013 \u2013 first draft", P["dora"], [ME], "2012-11-20 10:05", ["Projects\\2013"],
     body([par(run("Guten Tag Ann,")),
           par(run("anbei der erste Entwurf. Gr\u00fc\u00dfe aus M\u00fcnchen!")),
           par(run("Offene Punkte:"), 1), par(run("Reisekosten"), 2), par(run("Schulungen"), 2)]),
     cc=[P["bob"], P["chen"]], bcc=[P["eli"]])
mail("R\u00e9union \u00e0 Paris", P["eli"], [ME], "2012-06-12 14:30", ["($Inbox)"],
     plain_body("Bonjour Ann,", "la r\u00e9union aura lieu le 20 juin \u00e0 10h.", "\u00c0 bient\u00f4t, \u00c9lise"),
     files=[("agenda.txt", AGENDA_TXT)])
mail("\u6708\u6b21\u5831\u544a (monthly report)", P["sato"], [ME], "2012-07-02 02:10", ["($Inbox)", "Projects\\2012"],
     body([par(run("\u30a2\u30f3\u3055\u3093\u3001\u5831\u544a\u66f8\u3092\u9001\u308a\u307e\u3059\u3002")),
           par(run("\u3088\u308d\u3057\u304f\u304a\u9858\u3044\u3057\u307e\u3059\u3002", face="Arial Unicode MS"))]),
     files=[("notes.txt", NOTES_TXT)])
mail("\u039a\u03b1\u03bb\u03ae \u03c7\u03c1\u03bf\u03bd\u03b9\u03ac!", P["kostas"], [ME, P["bob"], P["chen"]],
     "2012-12-24 11:00", ["($Inbox)"], plain_body("\u0395\u03c5\u03c7\u03ad\u03c2 \u03b3\u03b9\u03b1 \u03c4\u03b9\u03c2 \u03b3\u03b9\u03bf\u03c1\u03c4\u03ad\u03c2 \U0001F384"))
mail("Sales chart", P["bob"], [ME], "2013-02-14 09:12", ["($Inbox)", "Projects\\2013"],
     body([par(run("Here is the chart you asked for:")), par(picture(CHART, "png", 64, 32), 3),
           par(run("Numbers are ") + run("preliminary", style="italic underline") + run(".")),
           par(run("Details: ") + "<urllink href='https://intranet.example.com/sales'>" + run("sales portal") +
               "</urllink>")]),
     files=[("chart.png", CHART)], extra=[text("FollowUpStatus", "1")])
mail("Lunch?", None, [ME], "2013-03-01 11:45", ["($Inbox)"], plain_body("Lunch at noon?"),
     inet_from="Carla Ruiz <carla.ruiz@example.org>", extra=[text("InetSendTo", "ann.lee@acme.example.com")])
mail("Newsletter: spring offers", "", ["ann.lee@acme.example.com"], "2013-03-05 06:00", ["($JunkMail)"],
     plain_body("Extra 60% off EVERYTHING", "Click here to unsubscribe."), inet_from="news@shop.example.com")
mail("Old thread about printers", P["bob"], [ME], "2012-02-01 13:00", ["($Trash)"],
     plain_body("The printer on floor 3 works again."))
mail("Re: Old thread about printers", ME, [P["bob"]], "2012-02-01 13:20", ["($Trash)"],
     plain_body("Thanks Bob!"), delivered=False)
mail("Partner contract", "", [ME], "2013-01-17 15:30", ["Projects"],
     plain_body("Signed contract attached."), inet_from="j.smith@partner.example.net",
     cc=["legal@acme.example.com"], files=[("contract-signed.pdf", REPORT_PDF)])
mail("Status update", P["chen"], [ME], "2012-09-10 09:00", ["Projects\\2012"],
     body([par(run("Status: ") + run("green", style="bold", color="#008000")),
           par(run("Module A") + "<tab/>" + run("done") + "<break/>" + run("Module B") + "<tab/>" + run("in progress"), 4)]))
mail("Offsite 2013 planning", P["dora"], [ME, P["eli"]], "2013-05-06 10:10", ["Projects\\2013"],
     plain_body("Let us plan the offsite.", "Ideas welcome."), cc=[P["kostas"]], bcc=[P["bob"]],
     extra=[text("FollowUpStatus", "1")])
mail("Logo for the newsletter", P["eli"], [ME], "2013-04-11 16:25", ["($Inbox)"],
     body([par(run("New logo: ") + picture(LOGO, "gif", 16, 16))]), files=[("logo.gif", LOGO)])
# sent mail (no DeliveredDate)
mail("Re: Quarterly report Q1", ME, [P["chen"]], "2012-04-04 08:30", [],
     plain_body("Thanks Chen, looks good."), cc=[P["bob"]], delivered=False)
mail("Travel request", ME, [P["dora"]], "2012-05-15 12:00", [],
     plain_body("I need to travel to Paris on 19 June."), delivered=False)
mail("Invitation: team dinner", ME, [P["bob"], P["chen"], P["dora"], P["eli"], P["kostas"]], "2012-12-10 17:00", [],
     plain_body("Dinner on Friday at 7 pm."), bcc=["ann.private@example.org"], delivered=False)
mail("Re: Lunch?", ME, ["Carla Ruiz <carla.ruiz@example.org>"], "2013-03-01 11:50", [],
     plain_body("Sure, see you at noon."), delivered=False)
# drafts (never posted)
mail("Ideas for 2014", ME, [P["bob"]], None, [], plain_body("Draft: new markets, new products..."))
mail("Unfinished reply", ME, [P["sato"]], None, [], plain_body("\u4f50\u85e4\u3055\u3093\u3001"))
# more inbox traffic
for i, (who, subj, when) in enumerate([
        ("bob", "Weekly sync notes", "2012-03-02 16:00"), ("chen", "Build server down", "2012-03-19 07:55"),
        ("dora", "Holiday calendar", "2012-08-01 09:30"), ("eli", "Translation ready", "2012-10-22 14:00"),
        ("kostas", "Athens office opening", "2013-01-08 10:00"), ("sato", "Visit to Osaka", "2013-06-03 03:30"),
        ("bob", "Parking spaces", "2013-06-20 08:00"), ("chen", "Code review", "2013-07-01 13:13")]):
    mail(subj, P[who], [ME], when, ["($Inbox)"], plain_body(subj + ".", "Regards"))

# ---- appointments
def appointment(subject, start, end, location, attendees, folders=()):
    key = "appt:" + subject
    items = [text("Subject", subject), text("From", ME, names=True), text("Chair", ME, names=True),
             text("Location", location), date("STARTDATETIME", start), date("EndDateTime", end),
             date("StartDate", start.split(" ")[0]), text("AppointmentType", "3"),
             text("RequiredAttendees", attendees, names=True), text("SendTo", attendees, names=True),
             plain_body("Meeting: " + subject), refs(*folders)]
    docs.append(document(key, "Appointment", start, items))


appointment("Kick-off Q2", "2012-04-02 09:00", "2012-04-02 10:30", "Room 4.12", [P["bob"], P["chen"]])
appointment("R\u00e9union \u00e0 Paris", "2012-06-20 10:00", "2012-06-20 12:00", "Paris, Rue de Rivoli 8", [P["eli"]])
appointment("Budget review", "2012-11-28 14:00", "2012-11-28 15:00", "Room 2.01", [P["dora"], P["bob"]])
appointment("Team dinner", "2012-12-14 19:00", "2012-12-14 22:00", "Trattoria Roma", [P["bob"], P["chen"], P["dora"]])
appointment("Osaka visit", "2013-06-10 09:00", "2013-06-12 17:00", "\u5927\u962a\u30aa\u30d5\u30a3\u30b9", [P["sato"]])


# ---- tasks
def task(subject, start, due, assignees):
    key = "task:" + subject
    items = [text("Subject", subject), text("From", ME, names=True), date("STARTDATETIME", start),
             date("DueDate", due), text("SendTo", assignees, names=True), text("TaskType", "1"),
             plain_body("To do: " + subject)]
    docs.append(document(key, "Task", start, items))


task("Prepare Q2 forecast", "2012-04-02", "2012-04-13", [ME])
task("Book Paris trip", "2012-05-15", "2012-05-30", [ME])
task("Review contract draft", "2013-01-10", "2013-01-16", [ME, P["bob"]])
task("Order new laptop", "2013-05-02", "2013-05-31", [ME])


# ---- journal entries
def journal(subject, diary, created, categories, lines):
    key = "journal:" + subject
    items = [text("Subject", subject), text("From", ME, names=True), date("DiaryDate", diary.split(" ")[0])]
    if created:
        items.append(date("TimeCreated", created))
    else:
        items.append(item("TimeCreated", "<text></text>"))
    items.append(text("Categories", categories))
    items.append(plain_body(*lines))
    docs.append(document(key, "Journal", diary, items))


journal("First week", "2012-01-13 18:00", "2012-01-13 18:05", ["Work"], ["Met the whole team.", "Lots to learn."])
journal("Paris trip", "2012-06-21 21:30", "2012-06-21 21:40", ["Travel", "Work"],
        ["Caf\u00e9 au lait at 8, meeting at 10.", "Great food."])
journal("Ideas", "2013-02-02 10:00", None, ["Personal"], ["A journal entry without a creation time."])


# ---- contacts
def contact(first, last, company, title, phone, cell, email, city, country, extra=(), photo=False, middle=""):
    key = "contact:%s %s" % (first, last)
    items = [text("FirstName", first), text("LastName", last), text("MiddleInitial", middle),
             text("FullName", ["CN=%s %s/O=%s" % (first, last, company), "%s %s" % (first, last)], names=True),
             text("CompanyName", company), text("JobTitle", title), text("OfficePhoneNumber", phone),
             text("CellPhoneNumber", cell), text("MailAddress", email), text("InternetAddress", email),
             text("OfficeCity", city), text("OfficeCountry", country), text("Type", "Person")]
    items.extend(extra)
    if photo:
        items.append(file_item("ContactPhoto", PHOTO, "2012-03-01 12:00"))
    docs.append(document(key, "Person", "2012-03-01 12:00", items))


contact("Bob", "Meyer", "Acme", "Sales Manager", "+49 89 1234-100", "+49 170 1111111", "bob.meyer@acme.example.com",
        "M\u00fcnchen", "Germany", extra=[date("Birthday", "1975-05-17")], photo=True)
contact("\u00c9lise", "Durand", "Acme", "Consultant", "+33 1 4000 0000", "+33 6 0000 0000",
        "elise.durand@acme.example.com", "Paris", "France", middle="M")
contact("Carla", "Ruiz", "Example Org", "Buyer", "+34 91 000 000", "", "carla.ruiz@example.org", "Madrid", "Spain",
        extra=[text("OfficeStreetAddress", "Calle Mayor 1"), text("Categories", ["Customer", "VIP"])])
contact("\u82b1\u5b50", "\u4f50\u85e4", "Acme Japan", "Engineer", "+81 6 0000 0000", "", "hanako.sato@acme.example.com",
        "\u5927\u962a", "Japan")
contact("John", "Smith", "Partner Inc.", "Lawyer", "+1 212 555 0100", "+1 917 555 0199", "j.smith@partner.example.net",
        "New York", "USA", extra=[text("WebSite", "https://partner.example.net")])


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "res/demo/demo-mail.dxl"
    parts = ["<?xml version='1.0' encoding='utf-8'?>\n",
             "<!DOCTYPE database SYSTEM 'xmlschemas/domino_9_0.dtd'>\n",
             "<database xmlns='http://www.lotus.com/dxl' version='9.0' replicaid='C1257A5B0036E6F1' "
             "path='mail/alee.nsf' title='Ann Lee (demo mail)'>\n"]
    parts.extend(design)
    parts.extend(docs)
    parts.append("</database>\n")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(parts))
    print("wrote %s: %d design elements, %d documents" % (path, len(design), len(docs)))


if __name__ == "__main__":
    main()
