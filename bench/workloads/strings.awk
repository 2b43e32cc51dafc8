BEGIN {
    text = ""
    for (i = 0; i < 100000; i++)
        text = text "ab"
    size = length(text)
    middle = substr(text, 100001, 10)
    where = index(text, "ba")
    print size, middle, where
}
