main() {
    local total=0 i
    for ((i = 1; i <= 1000000; i++)); do
        ((total += 1))
    done
    echo "$total"
}
main
