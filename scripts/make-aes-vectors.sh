#!/usr/bin/env bash
# Writes tests/data/aes-vectors.txt: ciphertexts made by the openssl command line, so the
# codec is checked against an independent AES-128-CBC and MD5, not against itself.
# Line format: name key-hex plaintext-hex ciphertext-hex   (plaintext already padded)
#              md5 nonce serial key-hex
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/tests/data/aes-vectors.txt
key=28edff0b56edbf42d9c4cbb13ccb3eef
iv=5a6796279265d0eebe3c74ae22c8b716

enc() { # key plaintext-hex
    printf '%s' "$2" | xxd -r -p | openssl enc -aes-128-cbc -nopad -K "$1" -iv "$iv" | xxd -p | tr -d '\n'
}
pattern() { # n bytes of i*7+3
    local n=$1 i hex=""
    for ((i = 0; i < n; i++)); do hex+=$(printf '%02x' $(((i * 7 + 3) & 255))); done
    printf '%s' "$hex"
}
pad() { # payload-hex
    local len=$((${#1} / 2)) p
    p=$((16 - len % 16))
    printf '%s' "$1"
    for ((i = 0; i < p; i++)); do printf '%02x' $p; done
}

serial=ZR2108A0001234
nonce_hex=01000000
serial_hex=$(printf '%s' "$serial" | xxd -p)
material=$nonce_hex$serial_hex$(printf '0%.0s' $(seq $((32 - ${#serial_hex}))))
session=$(printf '%s' "$material" | xxd -r -p | openssl dgst -md5 -binary | xxd -p)

{
    echo "# made by scripts/make-aes-vectors.sh with $(openssl version | cut -d' ' -f1-2)"
    p=$(pad "$nonce_hex");           echo "hello $key $p $(enc $key "$p")"
    p=$(pad 0100);                   echo "query $session $p $(enc "$session" "$p")"
    p=$(pad "$(pattern 438)");       echo "long $session $p $(enc "$session" "$p")"
    p=$(pad "$(pattern 56)");        echo "record $key $p $(enc $key "$p")"
    echo "md5 1 $serial $session"
} >"$out"
echo "wrote $out"
