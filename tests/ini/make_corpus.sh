#!/bin/bash
# Writes the awkward INI files that ini_probe.exe feeds to both the system reader and ours.
# The files are kept in the tree; run this again only to change the corpus.
set -euo pipefail
out="$(cd "$(dirname "$0")" && pwd)/corpus"
mkdir -p "$out"
w() { printf "$2" >"$out/$1"; }   # printf escapes (\r, \000, \x1a) give the odd bytes

w 01_basic.ini '[APPINFO]\r\na1=Sample Product\r\na2=1.0.0\r\na19=Sample Publisher\r\n\r\n[BUILDING]\r\nCURRENTBUILD=Split Files\r\n2=No\r\n'
w 02_case.ini '[AppInfo]\nProductName=mixed\nproductname=second\nPRODUCTNAME=third\n[\xc9T\xc9]\n\xc9l\xe8ve=latin1\n\x8aKODA=caron\n\x9fES=ydiaeresis\n\xb5icro=micro\nstra\xdfe=sharp\n[\xe9t\xe9]\nhidden=second section\n'
w 03_blanks.ini '   [  Spaced Section  ]   \n   key one   =   value one   \n\tkey\ttab\t=\tvalue\ttab\t\n two  words = a  b  \n[Tight]\nk=v\n  k2  =  \n'
w 04_quotes.ini '[Q]\ndouble="abc"\nsingle='"'"'abc'"'"'\nmixed="abc'"'"'\nempty=""\nlone="\nlone2='"'"'\ninner=a"b"c\nleading="abc\ntrailing=abc"\nspaced=  "  padded  "  \nnested=""abc""\nlong="0123456789012345678901234567890"\none="x"\n'
w 05_duplicates.ini '[Dup]\nk=first\nK=second\nk=third\n[Other]\nx=1\n[dup]\nk=from second section\nonly=only in second\n[DUP]\nonly=third\n'
w 06_no_equals.ini '[N]\nlonely\nlonely=with value\nvalued=1\nvalued\njust a line with spaces\n[M]\nflag\n'
w 07_after_bracket.ini '[Sec] trailing text\na=1\n[Sec2]]\nb=2\n[a]b]\nc=3\n[no close\nd=4\n[]\ne=5\n[ ]\nf=6\n[[double]]\ng=7\n[x] = y\nh=8\n'
w 08_comments.ini '[C]\n;comment=1\n; spaced comment = 2\n# hash=3\nkey=value ; not a comment\n;\nreal=yes\n  ;indented=4\n'
w 09_empty_keys.ini '[E]\n=v1\n=v2\n  =  v3\nk=after\n=v4\n[F]\na=1\n=gap\nb=2\n[G]\n=\nc=3\n'
w 10_line_ends.ini '[crlf]\r\na=1\r\nb=2\r\n[cr]\rc=3\rd=4\r[lf]\ne=5\nf=6\n[lfcr]\n\rg=7\n\rh=8\n\r[mixed]\r\n\r\n\ri=9\n\n\r\nj=10\r\r\rk=11\n'
w 11_no_final_newline.ini '[S]\na=1\nlast=no newline at end'
w 12_no_final_newline_header.ini '[S]\na=1\n[T]'
w 13_nul_in_value.ini '[Z]\nval=abc\000def\nqnul="abc\000"\nafter=ok\n'
w 14_nul_in_names.ini '[Z\000hidden]\nk\000ey=1\n\000start=2\nplain=3\n[Y]\n\000=a\n\000b=c\nd=e\n'
w 15_blank_controls.ini '[B]\x1a\n\x0bk1\x0c=\x0bv1\x0c\n\x1ak2\x1a=\x1av2\x1a\nk3=\xa0nbsp\xa0\n\xa0k4=x\n'
w 16_nameless_first.ini 'before=1\nalso before = 2\n[S]\nafter=3\n'
w 17_equals.ini '[Eq]\nk==v\nk2=a=b\n=\nk3=\nk4 = = x\n'
w 18_edge_lengths.ini '[L]\nq1="a"\nq2="ab"\nq3="abc"\nq4="abcd"\np1=a\np2=ab\np3=abc\np4=abcd\ns3='"'"'abc'"'"'\n'
w 19_high_bytes.ini '[H\xe4]\n\xfc=\x80\x81\x8d\x8f\x90\x9d\xff\n\xc4=upper\nvalue=\xe9\xe8\xea\n'
w 20_empty.ini ''
w 21_only_newlines.ini '\n\r\n\r\r\n   \n\t\n'
w 22_brackets_in_keys.ini '[K]\na[b]=c\nk]=v\n [x=1\n'
w 23_section_with_equals.ini '[a=b]\nk=1\n[c] = d\nk=2\n'
w 24_header_blanks.ini '[\tTabbed\t]\nk=1\n[ Lead]\nk=2\n[Trail ]\nk=3\n'
w 25_keys_like_sections.ini '[S]\nS=section name as key\n[=]\n==\nk=in equals section\n'
w 26_whitespace_only.ini '[W]\n   \n\t\t\n  k  \n  =  \n'
w 27_semicolon_lookup.ini '[C]\n;k=hidden from lists\nk=visible\n'

# A realistic project file with a value longer than the buffers the engine uses.
long=$(printf 'x%.0s' $(seq 1 300))
w 28_setup_like.inf "[APPINFO]\r\na1=My Product\r\na4=<ProgramFilesFolder>\\\\My Company\\\\My Product\r\na7=Yes\r\nLanguage=English\r\nlongvalue=${long}\r\n[DIALOGLIST]\r\nTOTAL1=3\r\nW0=welcome\r\nW1=license\r\nCT9=No\r\n"

# Long lines: a 5,000-character value, a 100,000-character line and a 2,000-character name.
{
  printf '[Long]\n'
  printf 'v5000='; head -c 5000 /dev/zero | tr '\0' 'v'; printf '\n'
  printf 'huge='; head -c 100000 /dev/zero | tr '\0' 'h'; printf '\n'
  head -c 2000 /dev/zero | tr '\0' 'n'; printf '=long name\n'
  printf 'after=still read\n'
} >"$out/29_long_lines.ini"

# Binary junk: pseudo-random bytes from a fixed seed, with a real section in the middle.
junk() { awk -v n="$1" -v seed="$2" 'BEGIN { s = seed; for (i = 0; i < n; i++) { s = (s * 1103515245 + 12345) % 2147483648; printf "%c", int(s / 65536) % 256 } }'; }
{ LC_ALL=C junk 3000 7; printf '\n[Real]\nk=v\n'; LC_ALL=C junk 3000 11; } >"$out/30_binary_junk.ini"
LC_ALL=C junk 8192 3 >"$out/31_pure_junk.bin"

# Many sections and keys, each name twice in different case.
{
  for i in $(seq 1 40); do printf '[Sec%d]\n' "$i"; for j in $(seq 1 8); do printf 'Key%d=%d.%d\nKEY%d=dup\n' "$j" "$i" "$j" "$j"; done; done
  printf '[SEC1]\nKey1=never seen\n'
} >"$out/32_many.ini"

# Byte-order marks: the system reader decodes such a file as UTF-8 or UTF-16 instead of ANSI.
w 33_utf8_bom.ini '\xef\xbb\xbf[U]\nk=caf\xc3\xa9\nplain=ascii\n\xc3\x89=e acute key\nbad=\xff\xfe\n'
w 34_utf16le_bom.ini '\xff\xfe[\000U\000]\000\n\000k\000=\000v\000\n\000'
w 35_utf16be_bom.ini '\xfe\xff\000[\000U\000]\000\n\000k\000=\000v\000\n'
w 36_bom_not_first.ini '[U]\n\xef\xbb\xbfk=v\n'
w 37_utf8_foreign.ini '\xef\xbb\xbf[F]\neuro=\xe2\x82\xac\nmacron=\xc4\x80\narrow=\xe2\x86\x92\nemoji=\xf0\x9f\x98\x80!\ntrunc=\xe2\x82\nlone=\x80x\nsurr=\xed\xa0\x80\n\xc4\x80name=foreign key\n?name=question key\n'
w 38_utf16le_text.ini '\xff\xfe[\000S\000]\000\r\000\n\000\xe9\000=\000\xac\x20\000\x01\n\000\000\xd8k\000=\000v\000'
# Look-alikes of '=', quotes, ';', '[' and blanks must not act as them.
w 39_utf8_lookalikes.ini '\xef\xbb\xbf[L]\nfull\xef\xbc\x9dwidth=equals look-alike\nq=\xef\xbc\x82quoted\xef\xbc\x82\nq2="\xef\xbc\x82"\n\xef\xbc\x9bnot comment=1\nk\xe3\x80\x80=ideographic space\n\xef\xbc\xbbS]=bracket\nlong=\xc4\x80\xc4\x81\xc4\x82\xc4\x83\xc4\x84\n'
w 40_utf8_invalid.ini '\xef\xbb\xbf[I]\nover2=\xc0\x80|\xc1\xbf|\nover3=\xe0\x80\x80|\xe0\x9f\xbf|\nover4=\xf0\x80\x80\x80|\xf0\x8f\xbf\xbf|\nbig=\xf4\x90\x80\x80|\xf5\x80|\nstray=\x80\xbf|\xfe\xff|\nshort=\xe2|\xf0\x9f\x98|\nmax=\xf4\x8f\xbf\xbf|\ntail=x\xf0\x9f'
