#!/bin/sh
# Regenerates the seed corpus: small valid presets (plain and encrypted, small
# pages) and damaged variants. Usage: tests/fuzz/make-corpus.sh BUILD-DIR
set -eu
build=${1:?usage: make-corpus.sh BUILD-DIR}
vekpreset="$build/tools/vekpreset/vekpreset"
here=$(cd "$(dirname "$0")" && pwd)
corpus="$here/corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

preset() { # name version page-size
    cat >"$work/$1.sql" <<SQL
PRAGMA page_size=$3;
CREATE TABLE info(version INTEGER);
INSERT INTO info VALUES($2);
CREATE TABLE parameters(name TEXT, value);
INSERT INTO parameters VALUES('KEY_MAPPING_65793', '65:Look_01'), ('GUIDE_FRAME_MODE', 2), ('EMPTY', NULL);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12)
INSERT INTO parameters SELECT 'P' || i, printf('%.*c', 30, 'v') FROM n;
SQL
    "$vekpreset" build --force "$work/$1.sql" "$corpus/$1.preset" >/dev/null
}

rm -f "$corpus"/*
mkdir -p "$corpus"
preset plain-v5-512 5 512
preset encrypted-v10-512 10 512
preset encrypted-v16-1024 16 1024
: >"$corpus/empty.preset"

python3 - "$corpus" <<'PY'
import sys, pathlib
corpus = pathlib.Path(sys.argv[1])
def variant(name, source, edit):
    data = bytearray((corpus / source).read_bytes())
    edit(data)
    (corpus / name).write_bytes(bytes(data))
def put(offset, values):
    def edit(data):
        data[offset:offset + len(values)] = bytes(values)
    return edit
variant("encrypted-truncated.preset", "encrypted-v10-512.preset", lambda d: d.__delitem__(slice(700, None)))
variant("plain-truncated.preset", "plain-v5-512.preset", lambda d: d.__delitem__(slice(300, None)))
variant("encrypted-wal.preset", "encrypted-v10-512.preset", put(18, [2, 2]))
variant("plain-wal.preset", "plain-v5-512.preset", put(18, [2, 2]))
variant("encrypted-reserved-4.preset", "encrypted-v10-512.preset", put(20, [4]))
variant("plain-reserved-12.preset", "plain-v5-512.preset", put(20, [12]))
variant("encrypted-page-size-1024.preset", "encrypted-v10-512.preset", put(16, [4, 0]))
variant("encrypted-nonce-flipped.preset", "encrypted-v10-512.preset", put(1024 - 3, [0xA5]))
variant("plain-page-2-garbage.preset", "plain-v5-512.preset", put(512, [0xFF] * 64))
PY

# Presets caught in a write transaction, each with its hot journal.
cmake --build "$build" --target fuzz_journal_seed >/dev/null
"$build/tests/fuzz/fuzz_journal_seed" "$corpus/encrypted-v10-512.preset" "$corpus/encrypted-hot-journal.seed"
"$build/tests/fuzz/fuzz_journal_seed" "$corpus/plain-v5-512.preset" "$corpus/plain-hot-journal.seed"
ls -l "$corpus"
