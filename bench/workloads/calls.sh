count() {
    n=$((n + 1))
}
main() {
    n=0
    local i
    for ((i = 0; i < 100000; i++)); do
        count
    done
    echo "$n"
}
main
