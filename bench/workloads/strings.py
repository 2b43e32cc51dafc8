def main():
    parts = []
    for i in range(100000):
        parts.append("ab")
    text = "".join(parts)
    size = len(text)
    middle = text[100000:100010]
    where = text.find("ba") + 1
    print(size, middle, where)


main()
