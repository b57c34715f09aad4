#!/usr/bin/python3
"""Writes vobject_30.vcf with Python's vobject (Debian python3-vobject), a
vCard library nobody on this project wrote. Only this script needs vobject;
the tests read the committed file. Run: /usr/bin/python3 make_vobject_fixtures.py (the system Python has vobject)"""
import os
import vobject

HERE = os.path.dirname(os.path.abspath(__file__))


def card(fn, family, given, org=None, adr=None, tels=(), emails=(), note=None):
    c = vobject.vCard()
    c.add('fn').value = fn
    c.add('n').value = vobject.vcard.Name(family=family, given=given)
    if org:
        c.add('org').value = org
    if adr:
        a = c.add('adr')
        a.value = vobject.vcard.Address(**adr['value'])
        a.type_param = adr.get('type', 'HOME')
    for number, types in tels:
        t = c.add('tel')
        t.value = number
        if types:
            t.type_paramlist = list(types)
    for address, types in emails:
        e = c.add('email')
        e.value = address
        if types:
            e.type_paramlist = list(types)
    if note:
        c.add('note').value = note
    return c


cards = [
    card('Jiří Šťastný', 'Šťastný', 'Jiří',
         adr={'value': dict(street='Náměstí Míru 5', city='Praha', code='120 00', country='Česká republika')},
         tels=[('+420 777 123 456', ['CELL']), ('+420 222 333 444', ['WORK', 'VOICE'])],
         emails=[('jiri@example.cz', ['INTERNET', 'HOME'])],
         note='Met at the fair, 2024; likes tea.\nSecond line of the note.'),
    card('Seán O\'Brien', 'O\'Brien', 'Seán', org=['Brien & Sons, Ltd.', 'Sales'],
         adr={'value': dict(street='12 Harbour Road\nUnit 4', city='Cork', region='Munster', code='T12 X2Y3',
                            country='Ireland'), 'type': 'WORK'},
         tels=[('+353 21 555 0101', ['WORK', 'FAX'])],
         emails=[('sean@example.ie', ['INTERNET', 'WORK'])]),
    card('Müller GmbH', '', '', org=['Müller GmbH'],
         adr={'value': dict(street='Königstraße 1', city='Stuttgart', code='70173', country='Deutschland'),
              'type': 'WORK'},
         tels=[('+49 711 123456', [])]),
    card('王小明', '王', '小明',
         adr={'value': dict(street='长安街 1号', city='北京', code='100000', country='中国')},
         note='A long note that vobject folds: ' + 'x' * 120),
]

with open(os.path.join(HERE, 'vobject_30.vcf'), 'w', encoding='utf-8', newline='') as f:
    for c in cards:
        f.write(c.serialize())
print('wrote vobject_30.vcf')
