#!/bin/sh
# REPLICA on a full disk, end to end: corvante runs under a file-size limit
# (with SIGXFSZ ignored, so that a write past the limit fails instead of
# killing the process). The copy must report "Erro na escrita de arquivo",
# end the run, leave the old destination whole and the source intact, and
# leave no partial file; with "&" it must still not replace the destination.
set -u
corvante=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
head -c 300000 /dev/urandom > big.bin
cp big.bin original.bin
printf 'previous' > dest.bin
printf 'replica "big.bin" "dest.bin"\nescreve "not reached"\n' > strict.cor
printf 'replica "big.bin" "dest.bin" &\nescreve "tolerated"\n' > tolerant.cor
failed=0
check() {
    if ! eval "$1"; then
        echo "FAILED: $2"
        failed=1
    fi
}

(ulimit -f 100; trap '' XFSZ; exec "$corvante" --headless --fast --log strict.log strict.cor) > /dev/null 2>&1
status=$?
check '[ $status -eq 1 ]' "strict copy exit status $status, expected 1"
check 'grep -q "Erro na escrita de arquivo dest.bin" strict.log' "no write error message: $(cat strict.log)"
check '! grep -q "not reached" strict.log' "the run went on after the failed copy"
check '[ "$(cat dest.bin)" = previous ]' "the destination was changed"
check 'cmp -s big.bin original.bin' "the source was changed"

(ulimit -f 100; trap '' XFSZ; exec "$corvante" --headless --fast --log tolerant.log tolerant.cor) > /dev/null 2>&1
status=$?
check '[ $status -eq 0 ]' "tolerant copy exit status $status, expected 0"
check 'grep -q tolerated tolerant.log' "the tolerant run did not go on"
check '[ "$(cat dest.bin)" = previous ]' "the tolerant copy left a changed destination"
check '[ $(ls -A | grep -c partial) -eq 0 ]' "a partial file was left: $(ls -A)"

# A copy to a new name that fails leaves no file of that name behind.
printf 'replica "big.bin" "nova.bin" &\nescreve "tolerated"\n' > new.cor
(ulimit -f 100; trap '' XFSZ; exec "$corvante" --headless --fast --log new.log new.cor) > /dev/null 2>&1
check '[ ! -e nova.bin ]' "the failed copy left a new destination"
check '[ $(ls -A | grep -c partial) -eq 0 ]' "a partial file was left: $(ls -A)"
exit $failed
