#!/usr/bin/env python3
"""Makes K-I-V.db from the bundled code lists.

    make_db.py --data <folder with the CSV files> --out <database file> [--schema <schema.sql>]

The tables come from schema.sql (beside this script unless --schema names another file).
Every input is checked first; a malformed file stops the run with "<file>:<line>: <problem>"
on stderr and exit code 1, and no database is written. The database is built in a temporary
file beside the output and renamed over it only when complete.

Only Python's standard library is used (csv, sqlite3).
"""

import argparse
import csv
import io
import os
import re
import sqlite3
import sys
import tempfile
from decimal import Decimal, InvalidOperation

CN_CHAPTERS = "cn_chapters_2026.csv"
CN_LINES = "cn_hscode_2026.csv"
WCO_HS = "harmonized-system.csv"
SUPERVISION_CERTIFICATES = "supervision_certificates.csv"
INSPECTION_CATEGORIES = "inspection_categories.csv"

# The columns of a China line that list_hscode has no place for; tariff_line keeps them.
TARIFF_LINE_COLUMNS = ["provisional_rate", "general_rate", "export_tax_rate",
                       "export_provisional_rate", "supervision_conditions",
                       "declaration_elements"]

# Every code of a code list is one letter or digit: the program reads the fields they
# explain character by character ('4xAB', 'M.P/Q.S').
CODE_LIST_CODE = re.compile(r"^[0-9A-Za-z]$")

# Comtrade's pseudo codes in the WCO file; they are not part of the nomenclature.
WCO_PSEUDO_CODES = {"TOTAL", "99", "9999", "999999"}

# The WCO sections whose goods count as machinery for list_jmwcode.m_flag: XVI machinery and
# electrical equipment (84-85), XVII vehicles, aircraft, vessels (86-89), XVIII instruments,
# clocks, musical instruments (90-92).
MACHINERY_SECTIONS = {"XVI", "XVII", "XVIII"}

# Who and when, written into op_user / op_date: the source of a row and its snapshot date.
CN_SOURCE = ("CN2026", "20260818")
WCO_SOURCE = ("HS2022", "20241025")

PERCENT = re.compile(r"^\s*(\d+(?:\.\d+)?)\s*%\s*$")
SPECIFIC = re.compile(r"^\s*(\d+(?:\.\d+)?)\s*元/\S+\s*$")
AD_VALOREM_PLUS_SPECIFIC = re.compile(r"^\s*(\d+(?:\.\d+)?)\s*%\s*\+\s*(\d+(?:\.\d+)?)\s*元/\S+\s*$")


class DataError(Exception):
    """A problem in an input file; str() names the file and, where known, the line."""

    def __init__(self, path, line, problem):
        where = f"{path}:{line}" if line else path
        super().__init__(f"{where}: {problem}")


def number(text):
    """'13' -> 13, '6.5' -> 6.5 (ints stay ints so the database shows 13, not 13.0)."""
    try:
        value = Decimal(text)
    except InvalidOperation:
        return None
    return int(value) if value == value.to_integral_value() else float(value)


def read_csv(path, required_columns):
    """Reads a UTF-8 CSV file strictly. Returns (header, [(line number, {column: value})])."""
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except FileNotFoundError:
        raise DataError(path, None, "file not found") from None
    except OSError as e:
        raise DataError(path, None, f"cannot read: {e.strerror}") from None
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        line = raw[: e.start].count(b"\n") + 1
        raise DataError(path, line, f"not valid UTF-8 (byte {e.start} of the file)") from None
    if text.startswith("\ufeff"):
        text = text[1:]

    reader = csv.reader(io.StringIO(text, newline=""), strict=True)
    rows = []
    header = None
    try:
        for fields in reader:
            line = reader.line_num
            if header is None:
                header = [h.strip() for h in fields]
                missing = [c for c in required_columns if c not in header]
                if missing:
                    raise DataError(path, line, "header lacks the column(s) " + ", ".join(missing))
                if len(set(header)) != len(header):
                    raise DataError(path, line, "header names a column twice")
                continue
            if all(not f.strip() for f in fields):
                # A blank line, or a record of empty fields (",,,," as some programs write at
                # the end of an export): skipped, as the program's import skips it.
                continue
            if len(fields) != len(header):
                raise DataError(path, line,
                                f"expected {len(header)} fields, found {len(fields)}")
            rows.append((line, dict(zip(header, fields))))
    except csv.Error as e:
        raise DataError(path, reader.line_num, f"bad CSV: {e}") from None
    if header is None:
        raise DataError(path, None, "empty file (no header)")
    return header, rows


def check_code(path, line, code, lengths, what="code"):
    if not code.isascii() or not code.isdigit():
        raise DataError(path, line, f"bad {what} '{code}': digits only")
    if len(code) not in lengths:
        allowed = " or ".join(str(n) for n in sorted(lengths))
        raise DataError(path, line, f"bad {what} '{code}': {len(code)} digits, expected {allowed}")


def check_unique(path, line, code, seen):
    if code in seen:
        raise DataError(path, line, f"duplicate code '{code}' (first on line {seen[code]})")
    seen[code] = line


def check_name(path, line, name):
    if not name.strip():
        raise DataError(path, line, "empty name")
    return name.strip()


def percent_rate(path, line, text, what):
    """'13%' -> (13, '13%'); '' -> (None, None); anything else is an error."""
    text = text.strip()
    if not text:
        return None, None
    m = PERCENT.match(text)
    if not m:
        raise DataError(path, line, f"bad {what} '{text}': expected a rate such as 13%")
    return number(m.group(1)), text


def rebate_rates(path, line, text):
    """Export rebate: one rate or several comma-separated ones ('9%,13%').

    Returns (highest, lowest, source text); all None when the source is empty."""
    text = text.strip()
    if not text:
        return None, None, None
    values = []
    for part in text.split(","):
        m = PERCENT.match(part)
        if not m:
            raise DataError(path, line, f"bad export rebate rate '{text}'")
        values.append(number(m.group(1)))
    return max(values), min(values), text


def consumption_tax(text):
    """Splits a consumption tax into (ad valorem %, specific amount in yuan per unit).

    Conditional texts ('完税价大于等于…') give (None, None); the whole text is stored apart."""
    text = text.strip()
    m = PERCENT.match(text)
    if m:
        return number(m.group(1)), None
    m = SPECIFIC.match(text)
    if m:
        return None, number(m.group(1))
    m = AD_VALOREM_PLUS_SPECIFIC.match(text)
    if m:
        return number(m.group(1)), number(m.group(2))
    return None, None


def or_none(text):
    text = text.strip()
    return text if text else None


def load_cn_chapters(folder):
    """Returns ({chapter: Chinese name}, {chapter: (label_cn, item_count, line)},
    {heading or subheading: Chinese name}): a row of 4 or 6 digits names a heading or
    subheading; its label_cn and item_count stay empty."""
    path = os.path.join(folder, CN_CHAPTERS)
    _, rows = read_csv(path, ["chapter", "label_cn", "name_cn", "item_count"])
    seen = {}
    chapters = {}
    details = {}
    headings = {}
    for line, r in rows:
        code = r["chapter"].strip()
        check_code(path, line, code, {2, 4, 6}, "chapter")
        check_unique(path, line, code, seen)
        name = check_name(path, line, r["name_cn"])
        if len(code) > 2:
            headings[code] = name
            continue
        chapters[code] = name
        label = r["label_cn"].strip()
        if not label:
            raise DataError(path, line, "empty label_cn")
        count = r["item_count"].strip()
        if not count.isascii() or not count.isdigit():
            raise DataError(path, line, f"bad item_count '{count}': a whole number expected")
        details[code] = (label, int(count), line)
    if not chapters:
        raise DataError(path, None, "no chapters")
    return chapters, details, headings


def check_item_counts(folder, details, cn_lines):
    """Each chapter's item_count is the number of its China lines."""
    path = os.path.join(folder, CN_CHAPTERS)
    lines_per_chapter = {}
    for r in cn_lines:
        lines_per_chapter[r["code"][:2]] = lines_per_chapter.get(r["code"][:2], 0) + 1
    for code, (_, count, line) in details.items():
        found = lines_per_chapter.get(code, 0)
        if found != count:
            raise DataError(path, line, f"item_count {count} of chapter '{code}' does not match "
                                        f"its {found} lines in {CN_LINES}")


def load_code_list(folder, name):
    """A code list (code, name): returns [(code, name)] in file order."""
    path = os.path.join(folder, name)
    _, rows = read_csv(path, ["code", "name"])
    seen = {}
    codes = []
    for line, r in rows:
        code = r["code"].strip()
        if not CODE_LIST_CODE.match(code):
            raise DataError(path, line, f"bad code '{code}': one letter or digit expected")
        check_unique(path, line, code, seen)
        codes.append((code, check_name(path, line, r["name"])))
    if not codes:
        raise DataError(path, None, "no codes")
    return codes


def load_cn_lines(folder, chapters):
    path = os.path.join(folder, CN_LINES)
    columns = ["code10", "code8", "code6", "code4", "chapter", "name_cn", "unit1", "unit2",
               "mfn_rate", "vat_rate", "consumption_tax", "export_rebate_rate",
               "inspection_category"] + TARIFF_LINE_COLUMNS
    _, rows = read_csv(path, columns)
    seen = {}
    lines = []
    for line, r in rows:
        code = r["code10"].strip()
        check_code(path, line, code, {10})
        check_unique(path, line, code, seen)
        for column, n in (("code8", 8), ("code6", 6), ("code4", 4), ("chapter", 2)):
            if r[column].strip() != code[:n]:
                raise DataError(path, line,
                                f"{column} '{r[column]}' is not the first {n} digits of '{code}'")
        if code[:2] not in chapters:
            raise DataError(path, line, f"chapter '{code[:2]}' of '{code}' is not in {CN_CHAPTERS}")
        name = check_name(path, line, r["name_cn"])
        _, vat_text = percent_rate(path, line, r["vat_rate"], "VAT rate")
        # Specific MFN rates ('0.8元/千克') have no percentage; their text is kept in sz.
        mfn = PERCENT.match(r["mfn_rate"])
        mfn_number = number(mfn.group(1)) if mfn else None
        tsl, tsl_new, tsl_text = rebate_rates(path, line, r["export_rebate_rate"])
        ad_valorem, specific = consumption_tax(r["consumption_tax"])
        unit1 = or_none(r["unit1"])
        unit2 = or_none(r["unit2"])
        if tsl is None:
            tsflag = None
        else:
            tsflag = "Y" if tsl > 0 else "N"
        lines.append({
            "code": code,
            "zhcmcode": code[:8],
            "cpcode": code[:6],
            "name": name,
            "unit": unit1,
            "dwflag": (2 if unit2 else 1) if unit1 else None,
            "sz": or_none(r["mfn_rate"]),
            "jksl": mfn_number,
            "zssl_set": vat_text,
            "zssl_set1": or_none(r["consumption_tax"]),
            "clde": specific,
            "cjdl": ad_valorem,
            "tsl": tsl,
            "tsl_ym": tsl_text,
            "tsl_new": tsl_new,
            "splb": or_none(r["inspection_category"]),
            "tsflag": tsflag,
            "note": unit2,
            "op_user": CN_SOURCE[0],
            "op_date": CN_SOURCE[1],
            "tariff_line": [code] + [or_none(r[c]) for c in TARIFF_LINE_COLUMNS],
        })
    if not lines:
        raise DataError(path, None, "no code lines")
    return lines


def load_wco(folder):
    """Returns (chapters, headings and subheadings) as lists of dicts with code, name, section."""
    path = os.path.join(folder, WCO_HS)
    _, rows = read_csv(path, ["section", "hscode", "description", "parent", "level"])
    seen = {}
    chapters, deeper = [], []
    for line, r in rows:
        code = r["hscode"].strip()
        if code in WCO_PSEUDO_CODES:
            continue
        check_code(path, line, code, {2, 4, 6})
        check_unique(path, line, code, seen)
        if r["level"].strip() != str(len(code)):
            raise DataError(path, line, f"level '{r['level']}' does not fit the code '{code}'")
        parent = r["parent"].strip()
        if len(code) > 2 and parent != code[:-2]:
            raise DataError(path, line, f"parent '{parent}' of '{code}' is not '{code[:-2]}'")
        row = {"code": code, "name": check_name(path, line, r["description"]),
               "section": r["section"].strip(), "line": line}
        (chapters if len(code) == 2 else deeper).append(row)
    known = {c["code"] for c in chapters} | {d["code"] for d in deeper}
    for d in deeper:
        if d["code"][:-2] not in known:
            raise DataError(path, d["line"], f"the parent of '{d['code']}' is missing")
    if not deeper:
        raise DataError(path, None, "no headings or subheadings")
    return chapters, deeper


def common_units(cn_lines):
    """The first statutory unit shared by all China lines under a 4- or 6-digit prefix."""
    units = {}
    for r in cn_lines:
        for n in (4, 6):
            units.setdefault(r["code"][:n], set()).add(r["unit"])
    return {prefix: next(iter(u)) for prefix, u in units.items() if len(u) == 1}


HSCODE_COLUMNS = ["code", "zhcmcode", "cpcode", "name", "dwcode", "unit", "bcflag", "stdflag",
                  "dwflag", "sz", "jksl", "zssl_set", "zssl_ym", "zssl_set1", "clde", "cjdl",
                  "tsl", "tsl_ym", "tsl_new", "splb", "tsflag", "note", "flag", "rsv_flag",
                  "op_user", "op_date"]


def hscode_rows(cn_chapters, wco_deeper, cn_lines, units):
    for code, name in sorted(cn_chapters.items()):
        yield {"code": code, "name": name, "flag": "Y",
               "op_user": CN_SOURCE[0], "op_date": CN_SOURCE[1]}
    for d in wco_deeper:
        yield {"code": d["code"], "name": d["name"], "unit": units.get(d["code"]),
               "op_user": WCO_SOURCE[0], "op_date": WCO_SOURCE[1]}
    yield from cn_lines


def jmwcode_rows(cn_chapters, wco_path, wco_chapters, wco_deeper, units):
    for c in wco_chapters:
        if c["code"] not in cn_chapters:
            raise DataError(wco_path, c["line"],
                            f"chapter '{c['code']}' has no Chinese name in {CN_CHAPTERS}")
        yield (c["code"], machinery_flag(c), cn_chapters[c["code"]], None, "Y")
    for d in wco_deeper:
        yield (d["code"], machinery_flag(d), d["name"], units.get(d["code"]), None)


def machinery_flag(row):
    return "Y" if row["section"] in MACHINERY_SECTIONS else "N"


def build(data, out, schema_path):
    try:
        with open(schema_path, encoding="utf-8") as f:
            schema = f.read()
    except OSError as e:
        raise DataError(schema_path, None, f"cannot read: {e.strerror}") from None

    cn_chapters, chapter_details, cn_headings = load_cn_chapters(data)
    cn_lines = load_cn_lines(data, cn_chapters)
    check_item_counts(data, chapter_details, cn_lines)
    supervision = load_code_list(data, SUPERVISION_CERTIFICATES)
    inspection = load_code_list(data, INSPECTION_CATEGORIES)
    wco_chapters, wco_deeper = load_wco(data)
    wco_path = os.path.join(data, WCO_HS)
    for d in wco_deeper:
        if d["code"][:2] not in cn_chapters:
            raise DataError(wco_path, d["line"],
                            f"chapter '{d['code'][:2]}' of '{d['code']}' is not in {CN_CHAPTERS}")
    units = common_units(cn_lines)

    out_dir = os.path.dirname(os.path.abspath(out))
    os.makedirs(out_dir, exist_ok=True)
    fd, tmp = tempfile.mkstemp(prefix=".K-I-V.", suffix=".tmp", dir=out_dir)
    os.close(fd)
    try:
        con = sqlite3.connect(tmp)
        try:
            con.executescript(schema)
            placeholders = ",".join("?" * len(HSCODE_COLUMNS))
            con.executemany(
                f"insert into list_hscode ({','.join(HSCODE_COLUMNS)}) values ({placeholders})",
                ([r.get(c) for c in HSCODE_COLUMNS]
                 for r in hscode_rows(cn_chapters, wco_deeper, cn_lines, units)))
            con.executemany(
                "insert into list_jmwcode (jmw_code, m_flag, name, unit, flag) values (?,?,?,?,?)",
                jmwcode_rows(cn_chapters, wco_path, wco_chapters, wco_deeper, units))
            con.executemany(
                f"insert into tariff_line (code, {','.join(TARIFF_LINE_COLUMNS)}) "
                f"values ({','.join('?' * (len(TARIFF_LINE_COLUMNS) + 1))})",
                (r["tariff_line"] for r in cn_lines))
            con.executemany(
                "insert into tariff_chapter (code, label_cn, item_count) values (?,?,?)",
                ((code, label, n) for code, (label, n, _) in sorted(chapter_details.items())))
            con.executemany("insert into heading_name_cn (code, name) values (?,?)",
                            sorted(cn_headings.items()))
            con.executemany("insert into supervision_certificate (code, name) values (?,?)",
                            supervision)
            con.executemany("insert into inspection_category (code, name) values (?,?)",
                            inspection)
            con.commit()
            counts = {t: dict(con.execute(
                f"select length({k}), count(*) from {t} group by length({k})").fetchall())
                for t, k in (("list_hscode", "code"), ("list_jmwcode", "jmw_code"))}
            totals = {t: con.execute(f"select count(*) from {t}").fetchone()[0]
                      for t in ("tariff_line", "tariff_chapter", "supervision_certificate",
                                "inspection_category", "user_note")}
        finally:
            con.close()
        os.chmod(tmp, 0o644)
        os.replace(tmp, out)
    except BaseException:
        if os.path.exists(tmp):
            os.remove(tmp)
        raise
    return counts, totals


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser(description="Makes K-I-V.db from the bundled code lists.")
    p.add_argument("--data", required=True, help="folder holding the CSV files")
    p.add_argument("--out", required=True, help="database file to write")
    p.add_argument("--schema", default=os.path.join(here, "schema.sql"),
                   help="SQL that creates the tables (default: schema.sql beside this script)")
    args = p.parse_args(argv)
    try:
        counts, totals = build(args.data, args.out, args.schema)
    except DataError as e:
        print(f"make_db: {e}", file=sys.stderr)
        return 1
    except sqlite3.Error as e:
        print(f"make_db: {args.out}: database error: {e}", file=sys.stderr)
        return 1
    except OSError as e:
        print(f"make_db: {e.filename or args.out}: {e.strerror}", file=sys.stderr)
        return 1
    names = {2: "chapters", 4: "headings", 6: "subheadings", 10: "10-digit lines"}
    for table, by_length in counts.items():
        parts = ", ".join(f"{n} {names.get(k, f'{k}-digit')}" for k, n in sorted(by_length.items()))
        print(f"{table}: {sum(by_length.values())} rows ({parts})")
    for table, n in totals.items():
        print(f"{table}: {n} rows")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
