#!/usr/bin/env python3
"""Generates the chart reader's built-in S-57 tables: the object table, the attribute encoding table and the
English system texts.

Numbering, storage letters, units, divisors and first-text indexes are the chart format's own (transcribed below).
What the format's documentation leaves out is reconstructed from the IHO S-57 catalogue as shipped with gdal-data
(s57objectclasses.csv, s57attributes.csv, s57expectedinput.csv), always joined by acronym, never by code: the
format numbers objects and attributes alphabetically, S-57 by its own codes. Enumeration values are S-57's.

Reconstructed (and listed in the generated file's header):
  - value texts of the upper-case E and L attributes (catalogue meanings, first letter upper-cased);
  - geometries and attribute lists of the objects without a documented row (catalogue primitives and attribute
    sets A, B, C, restricted to the acronyms of our attribute table, framed uniqid first, sourid atrb1 atrb2 last);
  - the layer id of those objects is not known and stays 0.
Left empty: texts the catalogue lacks (lower-case attributes beyond the documented samples, CAT_TS beyond 3,
PUNITS).

usage: gen_s57_tables.py GDAL_DATA_DIR OUT.cpp
"""
import csv
import os
import sys

OBJECTS = '''
1 ACHARE, 2 ACHBRT, 3 ADMARE, 4 AIRARE, 5 BCNCAR, 6 BCNISD, 7 BCNLAT, 8 BCNSAW, 9 BCNSPP, 10 BERTHS, 11 BOYCAR, 12 BOYINB, 13 BOYISD, 14 BOYLAT, 15 BOYSAW, 16 BOYSPP, 17 BRIDGE, 18 BUAARE, 19 BUISGL, 20 C_ASSO, 21 C_AGGR, 22 CANALS, 23 CAUSWY, 24 CBLARE, 25 CBLOHD, 26 CBLSUB, 27 CGUSTA, 28 CHKPNT, 29 COALNE, 30 CONVYR, 31 CONZNE, 32 COSARE, 33 CRANES, 34 CTNARE, 35 CTRPNT, 36 CTSARE, 37 CURENT, 38 CUSZNE, 39 DAMCON, 40 DAYMAR, 41 DEPARE, 42 DEPCNT, 43 DISMAR, 44 DMPGRD, 45 DOCARE, 46 DRGARE, 47 DRYDOC, 48 DWRTCL, 49 DWRTPT, 50 DYKCON, 51 EXEZNE, 52 FAIRWY, 53 FERYRT, 54 FLODOC, 55 FNCLNE, 56 FOGSIG, 57 FORSTC, 58 FRPARE, 59 FSHFAC, 60 FSHGRD, 61 FSHZNE, 62 GATCON, 63 GRIDRN, 64 HRBARE, 65 HRBFAC, 66 HULKES, 67 ICEARE, 68 ICNARE, 69 ISTZNE, 70 LAKARE, 71 LIGHTS, 72 LITFLT, 73 LITVES, 74 LNDARE, 75 LNDELV, 76 LNDMRK, 77 LNDRGN, 78 LOCMAG, 79 LOGPON, 80 LOKBSN, 81 M_ACCY, 82 M_COVR, 83 M_CSCL, 84 M_HDAT, 85 M_HOPA, 86 M_NSYS, 87 M_QUAL, 88 M_SDAT, 89 M_UNIT, 90 M_VDAT, 91 MAGVAR, 92 MARCUL, 93 MIPARE, 94 MORFAC, 95 NAVLNE, 96 OBSTRN, 97 OFSPLF, 98 OILBAR, 99 OSPARE, 100 PILBOP, 101 PILPNT, 102 PIPARE, 103 PIPOHD, 104 PIPSOL, 105 PONTON, 106 PRCARE, 107 PRDARE, 108 PYLONS, 109 RADLNE, 110 RADRFL, 111 RADRNG, 112 RADSTA, 113 RAILWY, 114 RAPIDS, 115 RCRTCL, 116 RCTLPT, 117 RDOCAL, 118 RDOSTA, 119 RECTRC, 120 RESARE, 121 RETRFL, 122 RIVERS, 123 RSCSTA, 124 RTPBCN, 125 RUNWAY, 126 SBDARE, 127 SEAARE, 128 SILTNK, 129 SISTAT, 130 SISTAW, 131 SLCONS, 132 SLOGRD, 133 SLOTOP, 134 SMCFAC, 135 SNDWAV, 136 SOUNDG, 137 SPLARE, 138 SPRING, 139 STSLNE, 140 SUBTLN, 141 SWPARE, 142 TESARE, 143 TOPMAR, 144 TS_FEB, 145 TSELNE, 146 TSEZNE, 147 TSSBND, 148 TSSCRS, 149 TSSLPT, 150 TSSRON, 151 TUNNEL, 152 TWRTPT, 153 UNSARE, 154 UWTROC, 155 VEGATN, 156 WATFAL, 157 WATTUR, 158 WEDKLP, 159 WRECKS, 200 addare, 201 annota, 202 builds, 203 c_mast, 204 enctrf, 205 gennav, 206 manvre, 207 restrc, 208 roaedg, 209 setlmt, 210 trflne, 211 trnspr, 212 m_nvpr, 213 poiwrk, 214 psgiio, 215 panpho, 216 rutmrk, 217 vlybot.
'''
ATTRIBUTES = '''
1 BCNSHP, 2 BOYSHP, 3 BUISHP, 4 BURDEP, 5 CALSGN, 6 CAT_TS, 7 CATACH, 8 CATAIR, 9 CATBRG, 10 CATBUA, 11 CATCAM, 12 CATCAN, 13 CATCBL, 14 CATCHP, 15 CATCOA, 16 CATCON, 17 CATCOV, 18 CATCRN, 19 CATCTR, 20 CATDAM, 21 CATDIS, 22 CATDOC, 23 CATDPG, 24 CATFIF, 25 CATFNC, 26 CATFOG, 27 CATFOR, 28 CATFRY, 29 CATGAT, 30 CATHAF, 31 CATHLK, 32 CATICE, 33 CATINB, 34 CATLAM, 35 CATLIT, 36 CATLMK, 37 CATLND, 38 CATMFA, 39 CATMOR, 40 CATMPA, 41 CATNAV, 42 CATOBS, 43 CATOFP, 44 CATOLB, 45 CATPIL, 46 CATPIP, 47 CATPLE, 48 CATPRA, 49 CATPYL, 50 CATQUA, 51 CATRAS, 52 CATREA, 53 CATROS, 54 CATRSC, 55 CATRTB, 56 CATRUN, 57 CATSCF, 58 CATSEA, 59 CATSIL, 60 CATSIT, 61 CATSIW, 62 CATSLC, 63 CATSLO, 64 CATSPM, 65 CATTRK, 66 CATTSS, 67 CATVEG, 68 CATWAT, 69 CATWED, 70 CATWRK, 71 CATZOC, 72 COLOUR, 73 COLPAT, 74 COMCHA, 75 CONDTN, 76 CONRAD, 77 CONVIS, 78 CSCALE, 79 CURVEL, 80 DATEND, 81 DATSTA, 82 DRVAL1, 83 DRVAL2, 84 DUNITS, 85 ELEVAT, 86 ESTRNG, 87 EXCLIT, 88 EXPSOU, 89 FUNCTN, 90 HEIGHT, 91 HORACC, 92 HORCLR, 93 HORDAT, 94 HORLEN, 95 HORWID, 96 HUNITS, 97 ICEFAC, 98 INFORM, 99 JRSDTN, 100 LIFCAP, 101 LITCHR, 102 LITVIS, 103 MARSYS, 104 MLTYLT, 105 NATCON, 106 NATION, 107 NATQUA, 108 NATSUR, 109 OBJNAM, 110 ORIENT, 111 PEREND, 112 PERSTA, 113 PILDST, 114 POSACC, 115 PRODCT, 116 PUNITS, 117 QUASOU, 118 RADIUS, 119 RADWAL, 120 RESTRN, 121 RYRMGV, 122 SECTR1, 123 SECTR2, 124 SHIPAM, 125 SIGFRQ, 126 SIGGEN, 127 SIGGRP, 128 SIGPER, 129 SIGSEQ, 130 SOUACC, 131 STATUS, 132 SURSTA, 133 SUREND, 134 TECSOU, 135 TOPSHP, 136 TRAFIC, 137 VALACM, 138 VALDCO, 139 VALLMA, 140 VALMAG, 141 VALMXR, 142 VALNMR, 143 VALSOU, 144 VERACC, 145 VERCCL, 146 VERCLR, 147 VERCOP, 148 VERCSA, 149 VERDAT, 150 VERLEN, 151 WATLEV, 152 abrchr, 153 admnam, 154 admtyp, 155 avrspd, 156 catbld, 157 catman, 158 catroa, 159 catrwy, 160 catstt, 161 cattrn, 162 cldend, 163 cldstr, 164 dspcnt, 165 fertyp, 166 frclas, 167 fropen, 168 grnend, 169 grnmai, 170 grnstr, 171 istoll, 172 lftfnr, 173 lftlnr, 174 lfttpe, 175 lftzip, 176 lftzp4, 177 negrst, 178 netcls, 179 posrst, 180 rdopen, 181 rdunit, 182 realen, 183 rghfnr, 184 rghlnr, 185 rghtpe, 186 rghzip, 187 rghzp4, 188 sourid, 189 spcrst, 190 spdlim, 191 uniqid, 192 wayfrm, 193 atrb1, 194 atrb2, 195 gpsacc, 196 gpsqty, 197 gpssou, 198 navpur, 199 subcat, 200 yrsunk, 201 surnam, 202 zipcde, 203 brands, 204 catser, 205 catsub, 206 celnum, 207 cloday, 208 close1, 209 close2, 210 e_mail, 211 faxnum, 212 frenum, 213 imgfil, 214 flpath, 215 ofsetx, 216 ofsety, 217 open_1, 218 open_2, 219 prclst, 220 refnam, 221 telnum, 222 websit, 223 strnam, 224 citynm, 225 county, 226 stanam, 227 onstrn, 228 onstrd, 229 onstdr, 230 onstrt, 231 onstry, 232 onsnm2, 233 onsnm3, 234 onsnm4, 235 onslng, 236 onslg2, 237 onslg3, 238 onslg4, 239 onsexs, 240 onswtc, 241 onsuse, 242 rounit, 243 roalen, 244 onsnos, 245 onsohc, 246 onstuc, 247 onswid, 248 onslen, 249 onswft, 250 onsscc, 251 onsftc, 252 onsmin, 253 onsltn, 254 onsfau, 255 onsrtn, 256 onstri, 257 catmrk.
'''
STORAGE = '''
- E (enumerated byte; the number is the first value text): BCNSHP 3, BOYSHP 10, BUISHP 18, CAT_TS 105, CATBUA 177, CATCAM 191, CATCAN 195, CATCBL 199, CATCHP 205, CATCOA 206, CATCON 216, CATCOV 226, CATCRN 228, CATCTR 233, CATDAM 251, CATDIS 254, CATDOC 258, CATFIF 266, CATFNC 270, CATFOG 274, CATFOR 284, CATFRY 289, CATGAT 292, CATICE 313, CATINB 321, CATLAM 323, CATMFA 389, CATMOR 393, CATNAV 406, CATOBS 409, CATOLB 428, CATPIL 430, CATPIP 433, CATPLE 440, CATPRA 444, CATPYL 453, CATQUA 458, CATRAS 464, CATRTB 511, CATRUN 514, CATSEA 547, CATSIL 600, CATSLC 627, CATSLO 643, CATTRK 702, CATTSS 108, CATWAT 781, CATWED 786, CATWRK 790, CATZOC 795, CONDTN 820, CONRAD 825, CONVIS 828, DUNITS 830, EXCLIT 834, EXPSOU 838, HORDAT 998, HUNITS 1129, JRSDTN 1131, LITCHR 1134, MARSYS 1171, PUNITS 1568, SIGGEN 1598, TOPSHP 1642, TRAFIC 1675, VERDAT 1679, WATLEV 1708, admtyp 1714, catbld 1727, catman 1787, catroa 1792, catrwy 1802, catstt 1820, cattrn 1829, fertyp 1848, frclas 1850, istoll 1860, lfttpe 1862, netcls 1873, rdunit 1882, rghtpe 1885, spcrst 1891, wayfrm 1893, navpur 1919, subcat 1923, catser 1924, onslng 2086, onslg2 2086, onslg3 2086, onslg4 2086, onswtc 2184, rounit 1882, onswft 2419, onsscc 2428, onsmin 2451, onstri 2476, catmrk 2496.
- L (list of enumerated bytes; first value text): CATACH 110, CATAIR 119, CATBRG 142, CATDPG 260, CATHAF 297, CATHLK 308, CATLIT 327, CATLMK 347, CATLND 368, CATMPA 400, CATOFP 418, CATREA 466, CATROS 491, CATRSC 505, CATSCF 516, CATSIT 604, CATSIW 613, CATSPM 650, CATVEG 704, COLOUR 801, COLPAT 814, FUNCTN 841, LITVIS 1163, NATCON 1181, NATQUA 1307, NATSUR 1317, PRODCT 1415, QUASOU 1572, RESTRN 1583, STATUS 1602, TECSOU 1628, cldend 1838, cldstr 1843, negrst 1868, posrst 1877, catsub 2018, cloday 2045, onstrt 2052, onstry 2073, onsexs 2104, onsuse 2191, onstuc 2377, onsftc 2439, onsfau 2463.
- J (unsigned 16-bit, floating result): BURDEP m /10 (1), CURVEL kt /10, ESTRNG NM /10, HEIGHT m /10 (1), HORACC m /10 (1), HORCLR m /10 (1), HORLEN m /10 (1), HORWID m /10 (1), ICEFAC m /10 (1), LIFCAP t /10, ORIENT degrees /100, RADIUS m /10 (1), SECTR1 degrees /100, SECTR2 degrees /100, SIGPER s /100, SOUACC m /10, VALLMA minutes /10, VALMXR NM /10, VALNMR NM /10, VERACC m /10 (1), VERCCL m /10 (1), VERCLR m /10 (1), VERCOP m /10 (1), VERCSA m /10 (1), VERLEN m /10 (1).
- M (signed 32-bit, floating result): DRVAL1 m /10 (2), DRVAL2 m /10 (2), VALDCO m /10 (2), VALSOU m /100 (2).
- K (unsigned 32-bit, floating result): ELEVAT m /10 (1), POSACC mm /10 (3), roalen m /1000 (4).
- H (signed 16-bit, floating result): VALACM minutes /10, VALMAG degrees /100, onsohc m /10, onswid m /10, onslen m /10.
- P (unsigned 32-bit integer, divisor 1): CSCALE, SIGFRQ (Hz), lftzip, lftzp4, rghzip, rghzp4, uniqid, close1, close2, imgfil, open_1, open_2, onstrd, onstdr.
- O (unsigned 16-bit integer, divisor 1): MLTYLT, avrspd, sourid, spdlim.
- N (unsigned 16-bit to signed integer, divisor 1): grnend, grnmai, grnstr, onsnos, onsltn.
- I (signed 32-bit integer, divisor 1): ofsetx, ofsety.
- T (text resource id): CALSGN, INFORM, OBJNAM, PILDST, abrchr, admnam, gpsacc, gpsqty, gpssou, yrsunk, surnam, brands, flpath, prclst, refnam, strnam, citynm, county, stanam, onstrn, onsnm2, onsnm3, onsnm4, onsrtn.
- B (text resource id): COMCHA, SIGGRP, SIGSEQ (unit s).
- G (16-bit code): atrb1, atrb2.
- A (counted string): DATEND, DATSTA, NATION, PEREND, PERSTA, RADWAL, RYRMGV, SHIPAM, SURSTA, SUREND, zipcde.
- S (counted string): fropen, lftfnr, lftlnr, rdopen, rghfnr, rghlnr, celnum, e_mail, faxnum, frenum, telnum, websit.
- D (display control): dspcnt.
- F (not decodable, divisor 1000): realen.
'''

UNITS = {'m': 2, 'kt': 8, 'NM': 7, 'degrees': 5, 'minutes': 1, 's': 10, 't': 9, 'mm': 11, 'Hz': 12}
# Classes of measure: 1 heights, clearances and lengths, 2 depths, 3 POSACC, 4 roalen.

# Rows documented verbatim: geometries (point, line, area), layer id, attribute codes.
DOCUMENTED_ROWS = {
    1: ((1, 1, 1), 12, [191, 7, 109, 131, 80, 81, 111, 112, 120, 98, 188, 193, 194]),
    41: ((0, 1, 1), 36, [191, 82, 83, 84, 117, 130, 149, 98, 188, 193, 194]),
    71: ((1, 0, 0), 88, [191, 35, 72, 80, 81, 87, 90, 96, 101, 102, 103, 104, 109, 110, 122, 123, 127, 128, 129, 131,
                         142, 144, 149, 98, 152, 188, 193, 194]),
    136: ((1, 0, 0), 140, [191, 84, 88, 109, 117, 130, 131, 134, 149, 98, 188, 193, 194]),
    159: ((1, 0, 1), 176, [191, 70, 76, 77, 84, 88, 90, 96, 109, 117, 130, 131, 134, 143, 144, 149, 151, 98, 188,
                           193, 194]),
    215: ((1, 1, 1), 184, [191, 109, 98, 110, 118, 188, 213, 214, 85, 96, 193, 194]),
}

# Attributes the chart presentation reads of classes the catalogue does not know.
PRESENTATION_ATTRIBUTES = {
    'annota': ['OBJNAM', 'subcat', 'dspcnt'],
    'roaedg': ['catroa'],
    'psgiio': ['catser'],
}

# Documented texts; they win over the catalogue.
DOCUMENTED_TEXTS = {
    0: 'ERROR TEXT (ENGLISH)', 1: 'Data not available', 2: 'Unknown',
    3: 'Stake, pole, perch, post', 4: 'Withy', 5: 'Beacon tower', 6: 'Lattice beacon', 7: 'Pile beacon',
    8: 'Cairn', 9: 'Buoyant beacon', 10: 'Conical (nun, ogival)', 11: 'Can (cylindrical)',
    105: 'Flood stream', 106: 'Ebb stream', 107: 'Other tidal flow', 108: 'IMO - adopted',
    109: 'Not IMO - adopted', 110: 'Unrestricted anchorage', 2476: 'Continue Straight', 2477: 'Bear Left',
    2496: 'Starting point', 2497: 'Ending point', 2856: 'UNKNOWN S57 CODE',
}
TEXT_COUNT = 2857


def numbered(text):
    out = {}
    for item in text.split(','):
        item = item.strip().rstrip('.')
        if not item:
            continue
        num, name = item.split(' ', 1)
        out[int(num)] = name.strip()
    return out


def parse_storage(text):
    """acronym -> (letter, unit, class, first-or-divisor)"""
    out = {}
    for line in text.strip().splitlines():
        letter = line[2]
        body = line.split('):', 1)[1] if '):' in line.split(',')[0] else line.split(':', 1)[1]
        head = line.split(':', 1)[0]
        default_div = 0
        if 'divisor 1000' in head:
            default_div = 1000
        elif 'divisor 1' in head:
            default_div = 1
        for item in body.split(','):
            item = item.strip().rstrip('.')
            if not item:
                continue
            words = item.replace('(', ' ( ').replace(')', ' ) ').split()
            name = words[0]
            unit, cls, value = 0, 0, default_div
            i = 1
            while i < len(words):
                w = words[i]
                if w == '(':
                    inner = words[i + 1]
                    if inner == 'unit':
                        unit = UNITS[words[i + 2]]
                        i += 1
                    elif inner.isdigit():
                        cls = int(inner)
                    else:
                        unit = UNITS[inner]
                    i += 3
                    continue
                if w.startswith('/'):
                    value = int(w[1:])
                elif w.isdigit():
                    value = int(w)
                elif w in UNITS:
                    unit = UNITS[w]
                else:
                    raise SystemExit('cannot parse storage item %r' % item)
                i += 1
            out[name] = (letter, unit, cls, value)
    return out


def cstr(s):
    # Catalogue texts are Latin-1; bytes above 127 go out as octal escapes.
    out = ''
    for ch in s:
        if ch in '\\"':
            out += '\\' + ch
        elif ord(ch) > 126:
            out += '\\%03o' % ord(ch)
        else:
            out += ch
    return '"' + out + '"'


def main():
    gdal, out_path = sys.argv[1], sys.argv[2]
    objects = numbered(OBJECTS)
    attributes = numbered(ATTRIBUTES)
    storage = parse_storage(STORAGE)
    code_of = {name: code for code, name in attributes.items()}
    missing = [n for n in attributes.values() if n not in storage]
    if missing:
        raise SystemExit('attributes without storage: %s' % missing)

    def read_csv(name):
        with open(os.path.join(gdal, name), newline='', encoding='latin-1') as f:
            return list(csv.DictReader(f, escapechar='\\'))

    cat_attr = {r['Acronym']: int(r['Code']) for r in read_csv('s57attributes.csv')}
    cat_obj = {r['Acronym']: r for r in read_csv('s57objectclasses.csv')}
    cat_values = {}
    for r in read_csv('s57expectedinput.csv'):
        cat_values.setdefault(int(r['Code']), {})[int(r['ID'])] = r['Meaning']

    notes = []
    # System texts.
    texts = [''] * TEXT_COUNT
    firsts = sorted({v[3] for v in storage.values() if v[0] in 'EL' and v[3]})
    for name, (letter, _, _, first) in storage.items():
        if letter not in 'EL' or not first or name not in cat_attr:
            continue
        end = next((f for f in firsts if f > first), TEXT_COUNT - 1)
        for v, meaning in sorted(cat_values.get(cat_attr[name], {}).items()):
            idx = first + v - 1
            if v < 1 or idx >= end:
                notes.append('%s %d does not fit its run' % (name, v))
                continue
            texts[idx] = meaning[:1].upper() + meaning[1:]
    for idx, t in DOCUMENTED_TEXTS.items():
        texts[idx] = t

    # Object table.
    rows = []
    for t in range(256):
        name = objects.get(t)
        if name is None:
            rows.append(('undef', (0, 0, 0), 0, 0, []))
            continue
        if t in DOCUMENTED_ROWS:
            geo, layer, codes = DOCUMENTED_ROWS[t]
            rows.append((name, geo, t, layer, codes))
            continue
        if name == 'c_mast':
            rows.append((name, (0, 0, 0), t, 0, []))
            continue
        geo = (0, 0, 0)
        codes = [code_of['uniqid']]
        cat = cat_obj.get(name)
        if cat:
            prim = cat['Primitives']
            geo = (int('Point' in prim), int('Line' in prim), int('Area' in prim))
            for key in ('Attribute_A', 'Attribute_B', 'Attribute_C'):
                for acr in cat[key].split(';'):
                    c = code_of.get(acr)
                    if c and c not in codes and acr not in ('sourid', 'atrb1', 'atrb2'):
                        codes.append(c)
        else:
            notes.append('object %s is not in the catalogue: no geometry, framing and presentation attributes only'
                         % name)
        for acr in PRESENTATION_ATTRIBUTES.get(name, []):
            if code_of[acr] not in codes:
                codes.append(code_of[acr])
        codes += [code_of['sourid'], code_of['atrb1'], code_of['atrb2']]
        if len(codes) > 64:
            raise SystemExit('%s: more than 64 attributes' % name)
        rows.append((name, geo, t, 0, codes))

    with open(out_path, 'w') as f:
        f.write('// Generated by tools/gen_s57_tables.py from the chart format\'s tables and gdal-data\'s S-57\n')
        f.write('// catalogue. Do not edit.\n')
        f.write('// Reconstructed from the catalogue: value texts of the upper-case E and L attributes; geometries\n')
        f.write('// and attribute lists of every object except types %s; layer ids of those\n'
                % ', '.join(str(k) for k in sorted(DOCUMENTED_ROWS)))
        f.write('// objects are unknown (0).\n')
        for n in notes:
            f.write('// note: %s\n' % n)
        f.write('#include "chartlib/reader/ch2_s57.h"\n\n')
        f.write('const CH2_S57OBJECT ch2_S57ObjectTable[256] = {\n')
        for name, geo, t, layer, codes in rows:
            f.write('  {%s, %d, %d, %d, %d, %d, {%s}},\n' % (cstr(name), geo[0], geo[1], geo[2], t, layer,
                                                        ', '.join(str(c) for c in codes)))
        f.write('};\n\n')
        f.write('const CH2_S57ATTRIBUTE ch2_S57AttributeTable[259] = {\n')
        f.write('  {"      ", 0, \' \', 0, 0, 0, 0},\n')
        for code in range(1, 258):
            name = attributes[code]
            letter, unit, cls, value = storage[name]
            f.write("  {%s, %d, '%s', %d, %d, 0, %d},\n" % (cstr(name), code, letter, unit, cls, value))
        f.write('  {"      ", 0, \' \', 0, 0, 0, 0},\n')
        f.write('};\n\n')
        f.write('const char *const ch2_SystemTexts[%d] = {\n' % TEXT_COUNT)
        for i, t in enumerate(texts):
            f.write('  /* %4d */ %s,\n' % (i, cstr(t)))
        f.write('};\n')


if __name__ == '__main__':
    main()
