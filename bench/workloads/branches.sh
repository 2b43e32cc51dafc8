main() {
    local even=0 odd=0 kind="" i rest
    for ((i = 1; i <= 300000; i++)); do
        rest=$((i % 2))
        if ((rest == 0)); then ((even += 1)); fi
        if ((rest != 0)); then ((odd += 1)); fi
        if ((rest == 0)); then
            kind="par"
        else
            kind="impar"
        fi
    done
    echo "$even $odd $kind"
}
main
