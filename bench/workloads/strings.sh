main() {
    local text="" i
    for ((i = 0; i < 100000; i++)); do
        text+="ab"
    done
    local size=${#text}
    local middle=${text:100000:10}
    local prefix=${text%%ba*}
    echo "$size $middle $((${#prefix} + 1))"
}
main
