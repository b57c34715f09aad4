#!/usr/bin/python3
"""Writes the hand-made samples in the layouts other programs document and
write: Google Contacts (vCard 3.0 and CSV), Apple Contacts (vCard 3.0 with
itemN.X-ABLabel), Thunderbird (vCard 4.0 and CSV), Evolution (vCard 3.0),
an Android phone's vCard 2.1 export (quoted-printable UTF-8 Czech names with
soft line breaks), an old phone's 2.1 card in ISO-8859-2, Outlook's CSV in
Windows-1252, a Windows-1250 CSV with semicolons and no header, and a
UTF-16 tab-separated file. Only the Python standard library is needed.
Run: python3 make_samples.py"""
import os
import quopri

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, text, encoding='utf-8', newline='\r\n', bom=b''):
    data = text.replace('\n', newline).encode(encoding)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(bom + data)


def qp(text, charset='utf-8'):
    """Quoted-printable as Android writes it: every non-ASCII byte and '='
    encoded, soft breaks ('=' at the end) keep lines under 76 characters."""
    raw = quopri.encodestring(text.encode(charset)).decode('ascii')
    return raw.rstrip('\n')  # soft breaks stay '=' + line end


def android_card(given, family, tel, email, street, town, zip_, country):
    fn = given + ' ' + family
    lines = [
        'BEGIN:VCARD',
        'VERSION:2.1',
        'N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:' + qp(family) + ';' + qp(given) + ';;;',
        'FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:' + qp(fn),
        'TEL;CELL:' + tel,
        'TEL;HOME;VOICE:+420 2 1234 5678',
        'EMAIL;HOME:' + email,
        'ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:' + qp(';;' + street + ';' + town + ';;' + zip_ + ';' +
                                                                 country),
        'PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8U',
        ' HRofHh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/2wBDAQkJCQwLDBgNDRgy',
        '',
        'END:VCARD',
    ]
    return '\n'.join(lines) + '\n'


android = android_card('Jiří', 'Šťastný', '+420 777 123 456', 'jiri@example.cz', 'Náměstí Míru 5',
                       'Praha', '120 00', 'Česká republika')
android += android_card('Žofie', 'Dvořáková-Procházková', '+420 606 111 222', 'zofie@example.cz',
                        'Dlouhá třída 1234/56, vchod z ulice Pražská', 'České Budějovice', '370 01',
                        'Česká republika')
# A card without a name: counted as an error.
android += 'BEGIN:VCARD\nVERSION:2.1\nTEL;CELL:+420 700 000 000\nEND:VCARD\n'
write('android_21.vcf', android)

# An older phone: 2.1 with CHARSET=ISO-8859-2 and 8-bit bytes, LABEL as the address.
old = ('BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=ISO-8859-2:Řezníček;Lubomír\n'
       'TEL;WORK:+420 543 210 987\n'
       'LABEL;WORK;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-2:Kopeck=E1 12=0D=0A602 00 Brno=0D=0A=C8esko\n'
       'END:VCARD\n')
write('oldphone_21.vcf', old, encoding='iso-8859-2')

google_vcf = '''BEGIN:VCARD
VERSION:3.0
FN:Anna Nováková
N:Nováková;Anna;;;
EMAIL;TYPE=INTERNET;TYPE=HOME:anna@example.com
EMAIL;TYPE=INTERNET;TYPE=WORK:anna.novakova@firma.example
TEL;TYPE=CELL:+420 601 234 567
item1.TEL:+420 800 100 200
item1.X-ABLabel:Hotline
ADR;TYPE=HOME:;;Vinohradská 12;Praha 2;;120 00;Česká republika
item2.ADR:;;Na Příkopě 1;Praha 1;;110 00;Česká republika
item2.X-ABLabel:Office
ORG:Firma s.r.o.
NOTE:Birthday party\\, June 5
CATEGORIES:myContacts
END:VCARD
'''
write('google.vcf', google_vcf)

apple = '''BEGIN:VCARD
VERSION:3.0
PRODID:-//Apple Inc.//macOS 13.4//EN
N:Appleseed;John;;;
FN:John Appleseed
ORG:Apple Inc.;
item1.EMAIL;type=INTERNET;type=pref:john@example.com
item1.X-ABLabel:_$!<Other>!$_
item2.TEL;type=pref:+1 408 555 0101
item2.X-ABLabel:_$!<Mobile>!$_
item3.TEL:+1 408 555 0199
item3.X-ABLabel:Reception desk
TEL;type=HOME;type=VOICE:+1 408 555 0123
item4.ADR;type=WORK:;;1 Infinite Loop;Cupertino;CA;95014;United States
item5.ADR;type=HOME;type=pref:;;3494 Kuhl Avenue;Atlanta;GA;30303;United States
item5.X-ABADR:us
END:VCARD
BEGIN:VCARD
VERSION:3.0
N:;;;;
FN:Acme Corporation
ORG:Acme Corporation;
X-ABShowAs:COMPANY
TEL;type=WORK;type=VOICE;type=pref:+1 212 555 0100
END:VCARD
'''
write('apple.vcf', apple)

thunderbird_vcf = '''BEGIN:VCARD
VERSION:4.0
PRODID:-//Thunderbird 115//EN
FN:Hélène Dubois
N:Dubois;Hélène;;;
EMAIL;PREF=1:helene@example.fr
EMAIL:h.dubois@travail.example
TEL;TYPE=work;VALUE=TEXT:+33 1 23 45 67 89
TEL;TYPE=cell;VALUE=TEXT:+33 6 12 34 56 78
ADR;TYPE=home:;;12 rue de la Paix;Paris;;75002;France
NOTE:Première ligne\\nDeuxième ligne
UID:8a7f5c1e-0d2b-4c8e-9f1a-2b3c4d5e6f70
END:VCARD
'''
write('thunderbird.vcf', thunderbird_vcf)

evolution = '''BEGIN:VCARD
VERSION:3.0
UID:pas-id-5F1A2B3C00000001
X-EVOLUTION-FILE-AS:Kowalski\\, Jan
FN:Jan Kowalski
N:Kowalski;Jan;;;
TEL;TYPE=CELL:+48 601 234 567
TEL;TYPE=WORK;TYPE=VOICE:+48 22 123 45 67
EMAIL;TYPE=WORK;X-EVOLUTION-UI-SLOT=1:jan.kowalski@example.pl
ADR;TYPE=WORK:;;ul. Marszałkowska 10/12;Warszawa;mazowieckie;00-590;Polska
LABEL;TYPE=WORK:ul. Marszałkowska 10/12\\n00-590 Warszawa\\nPolska
NOTE:Przykładowa notatka
REV:2024-03-01T10:00:00Z
END:VCARD
'''
write('evolution.vcf', evolution, newline='\n')

google_csv = ('First Name,Middle Name,Last Name,Phonetic First Name,Phonetic Middle Name,Phonetic Last Name,'
              'Name Prefix,Name Suffix,Nickname,File As,Organization Name,Organization Title,'
              'Organization Department,Birthday,Notes,Photo,Labels,E-mail 1 - Label,E-mail 1 - Value,'
              'E-mail 2 - Label,E-mail 2 - Value,Phone 1 - Label,Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,'
              'Address 1 - Label,Address 1 - Formatted,Address 1 - Street,Address 1 - City,Address 1 - PO Box,'
              'Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,Address 1 - Extended Address\n'
              'Anna,,Nováková,,,,,,,,Firma s.r.o.,,,,"Birthday party, June 5",,* myContacts,* Home,'
              'anna@example.com,Work,anna.novakova@firma.example,Mobile,+420 601 234 567 ::: +420 602 000 111,'
              ',,Home,"Vinohradská 12\nPraha 2 120 00\nČeská republika",Vinohradská 12,Praha 2,,,120 00,'
              'Česká republika,\n'
              'Peter,J.,Smith,,,,Dr.,,,,,,,,,,* myContacts,,peter@example.org,,,Work,+44 20 7946 0000,,,'
              'Work,"221B Baker Street\nLondon NW1 6XE\nUnited Kingdom",,,,,,,\n')
write('google.csv', google_csv)

outlook_csv = ('"Title","First Name","Middle Name","Last Name","Suffix","Company","Department","Job Title",'
               '"Business Street","Business Street 2","Business Street 3","Business City","Business State",'
               '"Business Postal Code","Business Country/Region","Home Street","Home Street 2","Home Street 3",'
               '"Home City","Home State","Home Postal Code","Home Country/Region","Business Fax","Business Phone",'
               '"Home Phone","Mobile Phone","E-mail Address","E-mail Type","E-mail Display Name",'
               '"E-mail 2 Address","Notes"\n'
               '"","Jürgen","","Groß","","Bäckerei Groß","","","Hauptstraße 5","Hinterhaus","","München","Bayern",'
               '"80331","Deutschland","","","","","","","","+49 89 123456","+49 89 123450","","+49 170 1234567",'
               '"juergen@example.de","SMTP","Jürgen Groß (juergen@example.de)","","Frühstück ab 6 Uhr"\n'
               '"","François","","Lefèvre","","","","","","","","","","","","8 place de l\'Église","","",'
               '"Genève","","1204","Suisse","","","+41 22 123 45 67","","francois@example.ch","SMTP","","",""\n')
write('outlook.csv', outlook_csv, encoding='cp1252')

thunderbird_csv = ('First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Screen Name,'
                   'Work Phone,Home Phone,Fax Number,Pager Number,Mobile Number,Home Address,Home Address 2,'
                   'Home City,Home State,Home ZipCode,Home Country,Work Address,Work Address 2,Work City,'
                   'Work State,Work ZipCode,Work Country,Job Title,Department,Organization,Web Page 1,'
                   'Web Page 2,Birth Year,Birth Month,Birth Day,Custom 1,Custom 2,Custom 3,Custom 4,Notes,\n'
                   'Hélène,Dubois,Hélène Dubois,,helene@example.fr,h.dubois@travail.example,,+33 1 23 45 67 89,,,,'
                   '+33 6 12 34 56 78,12 rue de la Paix,,Paris,,75002,France,,,,,,,,,,,,,,,,,,,'
                   '"Première ligne\nDeuxième ligne",\n'
                   ',,,,nobody@example.org,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\n')
write('thunderbird.csv', thunderbird_csv)

# A spreadsheet saved as CSV on a Czech Windows: semicolons, Windows-1250, no header.
czech = ('Jiří Šťastný;Náměstí Míru 5;Praha;120 00;Česká republika;Příliš žluťoučký kůň;+420 777 123 456 (mobil);'
         'jiri@example.cz\n'
         'Věra Čermáková;Úvoz 8;Brno;602 00;;;;vera@example.cz\n')
write('czech_1250.csv', czech, encoding='cp1250')

# "Unicode text" of a spreadsheet: UTF-16LE with a byte-order mark, tabs.
utf16 = ('Name\tStreet\tTown / City\tZIP\tCountry\tNote\tPhone\tE-Mail\n'
         'Ærøskøbing Ferry\tHavnen 1\tÆrøskøbing\t5970\tDanmark\t\t+45 62 52 40 00\tinfo@example.dk\n'
         '東京 太郎\t千代田1-1\t東京\t100-0001\t日本\t\t\t\n')
write('unicode_utf16.csv', utf16, encoding='utf-16-le', bom=b'\xff\xfe')
print('samples written')
